#include "ui/focus_page.h"
#include "core/driver_settings.h"
#include "ui/auto_focus_box.h"
#include "ui/device_page_state.h"
#include "ui/page_controls.h"
#include "ui/resource_ids.h"

namespace {
// Unlike the stage page, which looks for the size in effect, the focus page
// selects by the stored index; an index outside the list selects nothing.
void SelectStoredStep(HWND box) {
    const int index = DriverSettings.focusStepIndex;
    const LRESULT count = SendMessageA(box, CB_GETCOUNT, 0, 0);
    SendMessageA(box, CB_SETCURSEL, static_cast<WPARAM>(index >= 0 && index < count ? index : -1),
                 0);
}
} // namespace

void InitFocusPage(HWND page) {
    HWND box = GetDlgItem(page, IDC_STEP_SIZE);
    FillStepSizes(box, StepAxis::Z);
    SelectStoredStep(box);
    LoadAutoFocus(page);
    FitDropDown(box);
}

bool HandleFocusCommand(HWND page, DevicePage& state, int id, int code) {
    if (id != IDC_STEP_SIZE && id != IDC_AUTO_FOCUS) {
        return false;
    }
    // Pages without the control have nothing to read it from.
    HWND control = GetDlgItem(page, id);
    if (control == nullptr) {
        return true;
    }
    if (id == IDC_AUTO_FOCUS) {
        StoreAutoFocus(page);
        return true;
    }
    switch (code) {
    case CBN_SELCHANGE:
        ChooseStepSize(control, StepAxis::Z);
        break;
    case CBN_EDITUPDATE:
        TypeStepSize(control, StepAxis::Z, state.step);
        break;
    case CBN_KILLFOCUS:
        CommitTypedStepSize(control, StepAxis::Z, state.step);
        break;
    default:
        break;
    }
    return true;
}
