// KroConfigProc: the focus, shutter and filter wheel pages. Settings go to
// the settings file as they change; filter sets only on request.
#include "ui/device_page.h"
#include "core/export_trace.h"
#include "config/default_config.h"
#include "config/device_kind.h"
#include "core/controller_link.h"
#include "ui/device_page_state.h"
#include "ui/focus_page.h"
#include "ui/page_controls.h"
#include "ui/page_state.h"
#include "ui/serial_commands.h"
#include "ui/shutter_page.h"
#include "ui/wheel_page.h"

namespace {
// The page of the family that owns the serial line, for its first device,
// chooses the port; every other device page hides the serial controls.
bool ShowsSerialControls() {
    return CurrentPageKind == Link.DevicePortOwner() && CurrentDeviceIndex == 0;
}

INT_PTR InitPage(HWND page) {
    HideSerialDetails(page);
    ApplyDefaults(page, CurrentPageKind, CurrentDeviceIndex);
    switch (CurrentPageKind) {
    case STOLVO_KIND_SHUTTER:
        InitShutterPage(page);
        break;
    case STOLVO_KIND_FILTER_WHEEL:
        InitWheelPage(page, CurrentDeviceIndex, true);
        break;
    case STOLVO_KIND_FOCUS:
        InitFocusPage(page);
        break;
    default:
        break;
    }
    PlacePage(page, PageTop);
    if (ShowsSerialControls()) {
        ApplyDefaults(page, STOLVO_KIND_SERIAL_LINE, 0);
        FillSerialControls(page, true);
    } else {
        HideSerialControls(page);
    }
    // Filling the boxes above reported changes that are none of the user's.
    ShutterNameEdited = false;
    PositionNameEdited = false;
    FilterSetDirty = false;
    return TRUE;
}

INT_PTR Command(HWND page, int id, int code) {
    if (HandleSerialCommand(page, id, code, StagePageWindow) ||
        HandleFocusCommand(page, id, code) || HandleShutterCommand(page, id, code) ||
        HandleSetCommand(page, id, code) || HandlePositionCommand(page, id, code)) {
        return TRUE;
    }
    if (id == kRefreshSerialControls) {
        if (ShowsSerialControls()) {
            FillSerialControls(page, false);
        }
        return TRUE;
    }
    return FALSE;
}
} // namespace

extern "C" INT_PTR CALLBACK KroConfigProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    ExportTrace trace(TracedDialogCall("KroConfigProc", message), page, message, wParam, lParam);
    // Nothing may unwind into the system's dialog code.
    try {
        switch (message) {
        case WM_INITDIALOG:
            return trace.Return(InitPage(page));
        case WM_COMMAND:
            return trace.Return(Command(page, LOWORD(wParam), HIWORD(wParam)));
        case WM_NCDESTROY:
            // A page that goes with its host window leaves no stale handle behind.
            if (page == DevicePageWindow) {
                DevicePageWindow = nullptr;
            }
            return trace.Return(FALSE);
        default:
            return trace.Return(FALSE);
        }
    } catch (...) {
        return trace.Return(FALSE);
    }
}
