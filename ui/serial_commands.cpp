#include "ui/serial_commands.h"
#include "core/driver_settings.h"
#include "core/module_files.h"
#include "core/profile_file.h"
#include "ui/page_controls.h"
#include "ui/resource_ids.h"

namespace {
void WriteSetting(const char* key, int value) {
    WriteProfileInt(SettingsFilePath(), kStageSection, key, value);
}

void Notify(HWND otherPage) {
    if (otherPage != nullptr) {
        PostMessageA(otherPage, WM_COMMAND, kRefreshSerialControls, 0);
    }
}

// The chosen entry of a box, or -1 when none is chosen or it lies outside the
// table it indexes: a selection change without a valid choice changes nothing.
int ChosenEntry(HWND page, int id, int entries) {
    const int index = static_cast<int>(SendDlgItemMessageA(page, id, CB_GETCURSEL, 0, 0));
    return index >= 0 && index < entries ? index : -1;
}
} // namespace

bool HandleSerialCommand(HWND page, int id, int code, HWND otherPage) {
    DriverSettingsRecord& s = DriverSettings;
    switch (id) {
    case IDC_PORT:
        if (code == CBN_SELCHANGE) {
            const int index = ChosenEntry(page, id, kPortChoices);
            if (index >= 0) {
                s.port = index;
                WriteSetting("Port", s.port);
                Notify(otherPage);
            }
        }
        return true;
    case IDC_BAUD_RATE:
        if (code == CBN_SELCHANGE) {
            const int index = ChosenEntry(page, id, kBaudRates);
            if (index >= 0) {
                s.baudIndex = index;
                s.baudRate = BaudRateTable[index];
                WriteSetting("BaudRate", s.baudRate);
                Notify(otherPage);
            }
        }
        return true;
    case IDC_ONE_STOP_BIT:
    case IDC_TWO_STOP_BITS:
        s.stopBits = IsDlgButtonChecked(page, IDC_ONE_STOP_BIT) == BST_CHECKED ? 1 : 2;
        WriteSetting("StopBits", s.stopBits);
        Notify(otherPage);
        return true;
    case IDC_PARITY_NONE:
    case IDC_PARITY_EVEN:
    case IDC_PARITY_ODD:
        s.parity = id - IDC_PARITY_NONE;
        WriteSetting("Parity", s.parity);
        Notify(otherPage);
        return true;
    default:
        return false;
    }
}
