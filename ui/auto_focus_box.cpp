#include "ui/auto_focus_box.h"
#include "core/driver_settings.h"
#include "core/settings_changes.h"
#include "ui/resource_ids.h"

void LoadAutoFocus(HWND page) {
    ReadAutoFocusForPage();
    CheckDlgButton(page, IDC_AUTO_FOCUS,
                   DriverSettings.canAutoFocus != 0 ? BST_CHECKED : BST_UNCHECKED);
}

void StoreAutoFocus(HWND page) {
    ChooseAutoFocus(IsDlgButtonChecked(page, IDC_AUTO_FOCUS) == BST_CHECKED ? 1 : 0);
}
