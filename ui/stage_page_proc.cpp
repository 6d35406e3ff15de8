// StgConfigProc: the XY and Z stage pages. Every change is written to the
// settings file at once.
#include "ui/stage_page.h"
#include "core/export_trace.h"
#include "core/driver_settings.h"
#include "core/controller_link.h"
#include "core/settings_changes.h"
#include "include/STolvo32.h"
#include "ui/auto_focus_box.h"
#include "ui/page_controls.h"
#include "ui/page_request.h"
#include "ui/page_state.h"
#include "ui/resource_ids.h"
#include "ui/serial_commands.h"
#include "ui/stage_page_state.h"

namespace {
// A window that is no stage page counts as an XY page.
StepAxis AxisOf(HWND page) {
    const StagePage* state = StagePageOf(page);
    return state != nullptr ? state->axis : StepAxis::XY;
}

// The XY page always chooses the port; the Z page only while the Z family owns the line.
bool ShowsSerialControls(StepAxis axis) {
    return axis == StepAxis::XY || Link.StagePortOwner() == STOLVO_KIND_FOCUS;
}

INT_PTR InitPage(HWND page, LPARAM kind) {
    // The page writes every setting back: what it writes must be what the
    // file holds, also when the host shows it before any initialisation.
    LoadDriverSettingsOnce();
    HideSerialDetails(page);
    // A page the host makes itself goes to the top of its parent.
    const PageRequest* request = TakePageRequest(DialogKind::StagePage);
    const StepAxis axis = kind != kXYPageFlag ? StepAxis::Z : StepAxis::XY;
    const int top = request != nullptr ? request->top : 0;
    AttachDialogState(page, StgConfigProc, StagePage{axis, top, {}});
    if (axis == StepAxis::Z) {
        LoadAutoFocus(page);
    }
    HWND box = GetDlgItem(page, IDC_STEP_SIZE);
    FillStepSizes(box, axis);
    SelectStepInEffect(box, axis);
    FitDropDown(box);

    PlacePage(page, top);

    if (ShowsSerialControls(axis)) {
        if (DriverSettings.port == -1) {
            SetPort(0, KeyWrite::Later);
        }
        FillSerialControls(page, true);
    } else {
        HideSerialControls(page);
    }
    // Opening a page settles every setting in the file, a first port included.
    SaveDriverSettings();
    return TRUE;
}

void StepSizeCommand(HWND page, int code) {
    HWND box = GetDlgItem(page, IDC_STEP_SIZE);
    const StepAxis axis = AxisOf(page);
    StagePage* state = StagePageOf(page);
    switch (code) {
    case CBN_SELCHANGE:
        ChooseStepSize(box, axis);
        break;
    case CBN_EDITUPDATE:
        if (state != nullptr) {
            TypeStepSize(box, axis, state->step);
        }
        break;
    case CBN_KILLFOCUS:
        if (state != nullptr) {
            CommitTypedStepSize(box, axis, state->step);
        }
        break;
    default:
        break;
    }
}

INT_PTR Command(HWND page, int id, int code) {
    if (HandleSerialCommand(page, id, code, DevicePageWindow)) {
        return TRUE;
    }
    switch (id) {
    case IDC_STEP_SIZE:
        StepSizeCommand(page, code);
        return TRUE;
    case IDC_AUTO_FOCUS:
        StoreAutoFocus(page);
        return TRUE;
    case kRefreshSerialControls:
        if (ShowsSerialControls(AxisOf(page))) {
            FillSerialControls(page, false);
        }
        return TRUE;
    default:
        return FALSE;
    }
}
} // namespace

extern "C" INT_PTR CALLBACK StgConfigProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    ExportTrace trace(TracedDialogCall("StgConfigProc", message), page, message, wParam, lParam);
    // Nothing may unwind into the system's dialog code.
    try {
        switch (message) {
        case WM_INITDIALOG:
            return trace.Return(InitPage(page, lParam));
        case WM_COMMAND:
            return trace.Return(Command(page, LOWORD(wParam), HIWORD(wParam)));
        case WM_NCDESTROY:
            // A page that goes with its host window leaves no stale handle behind.
            if (page == StagePageWindow) {
                StagePageWindow = nullptr;
            }
            FreeDialogState<StagePage>(page, StgConfigProc);
            return trace.Return(FALSE);
        default:
            return trace.Return(FALSE);
        }
    } catch (...) {
        return trace.Return(FALSE);
    }
}
