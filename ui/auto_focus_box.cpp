#include "ui/auto_focus_box.h"
#include "core/driver_settings.h"
#include "core/module_files.h"
#include "core/profile_file.h"
#include "ui/resource_ids.h"

void LoadAutoFocus(HWND page) {
    FlushProfileCache(SettingsFilePath());
    DriverSettings.canAutoFocus =
        ReadProfileInt(SettingsFilePath(), kStageSection, "CanAutoFocus", 0);
    CheckDlgButton(page, IDC_AUTO_FOCUS,
                   DriverSettings.canAutoFocus != 0 ? BST_CHECKED : BST_UNCHECKED);
    DriverSettings.hasJoystick = 1;
}

void StoreAutoFocus(HWND page) {
    DriverSettings.canAutoFocus = IsDlgButtonChecked(page, IDC_AUTO_FOCUS) == BST_CHECKED;
    WriteProfileInt(SettingsFilePath(), kStageSection, "CanAutoFocus", DriverSettings.canAutoFocus);
}
