#include "ui/shutter_page.h"
#include "config/device_kind.h"
#include "config/name_field.h"
#include "core/settings_keys.h"
#include "ui/device_page_state.h"
#include "ui/resource_ids.h"

namespace {
// The box takes one character more than a name keeps; the name is cut.
constexpr int kNameBoxLimit = 60;

void StoreTypedName(HWND page, const DevicePage& state) {
    ShutterEntry* shutter = PageShutter(state);
    if (shutter == nullptr) {
        return;
    }
    char typed[kNameSize] = "";
    GetDlgItemTextA(page, IDC_SHUTTER_NAME, typed, sizeof typed);
    CopyNameField(shutter->name, typed);
    WriteSettingText(kShutterNameKey, shutter->name, state.slot + 1);
}
} // namespace

void InitShutterPage(HWND page, DevicePage& state) {
    ReadLabelFormat(page, IDC_SHUTTER_TITLE, state.titleFormat);
    ShowNumberedLabel(page, IDC_SHUTTER_TITLE, state.titleFormat, state.slot + 1LL);
    const ShutterEntry* shutter = PageShutter(state);
    char name[kNameSize] = "";
    if (shutter != nullptr) {
        CopyNameField(name, shutter->name);
    }
    SetDlgItemTextA(page, IDC_SHUTTER_NAME, name);
    SendDlgItemMessageA(page, IDC_SHUTTER_NAME, EM_LIMITTEXT, kNameBoxLimit, 0);
    SetFocus(GetDlgItem(page, IDC_SHUTTER_NAME));
}

bool HandleShutterCommand(HWND page, DevicePage& state, int id, int code) {
    if (id != IDC_SHUTTER_NAME) {
        return false;
    }
    // Other pages have no name box to read the name from.
    if (state.kind != STOLVO_KIND_SHUTTER || GetDlgItem(page, id) == nullptr) {
        return true;
    }
    switch (code) {
    case EN_CHANGE:
        state.shutterNameEdited = true;
        break;
    case EN_KILLFOCUS:
        if (state.shutterNameEdited) {
            StoreTypedName(page, state);
            state.shutterNameEdited = false;
        }
        break;
    default:
        break;
    }
    return true;
}
