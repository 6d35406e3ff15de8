#include "ui/serial_commands.h"
#include "core/driver_settings.h"
#include "core/settings_changes.h"
#include "ui/page_controls.h"
#include "ui/resource_ids.h"

namespace {
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
    switch (id) {
    case IDC_PORT:
        if (code == CBN_SELCHANGE) {
            const int index = ChosenEntry(page, id, kPortChoices);
            if (index >= 0) {
                SetPort(index, KeyWrite::Now);
                Notify(otherPage);
            }
        }
        return true;
    case IDC_BAUD_RATE:
        if (code == CBN_SELCHANGE) {
            const int index = ChosenEntry(page, id, kBaudRates);
            if (index >= 0) {
                SetBaudIndex(index, KeyWrite::Now);
                Notify(otherPage);
            }
        }
        return true;
    case IDC_ONE_STOP_BIT:
    case IDC_TWO_STOP_BITS:
        SetStopBits(IsDlgButtonChecked(page, IDC_ONE_STOP_BIT) == BST_CHECKED ? 1 : 2,
                    KeyWrite::Now);
        Notify(otherPage);
        return true;
    case IDC_PARITY_NONE:
    case IDC_PARITY_EVEN:
    case IDC_PARITY_ODD:
        SetParity(id - IDC_PARITY_NONE, KeyWrite::Now);
        Notify(otherPage);
        return true;
    default:
        return false;
    }
}
