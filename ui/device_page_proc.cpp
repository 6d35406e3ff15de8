// KroConfigProc: the focus, shutter and filter wheel pages. Settings go to
// the settings file as they change; filter sets only on request.
#include "ui/device_page.h"
#include "core/export_trace.h"
#include "config/device_kind.h"
#include "core/controller_link.h"
#include "ui/apply_defaults.h"
#include "ui/device_page_state.h"
#include "ui/focus_page.h"
#include "ui/page_controls.h"
#include "ui/page_request.h"
#include "ui/page_state.h"
#include "ui/serial_commands.h"
#include "ui/shutter_page.h"
#include "ui/wheel_page.h"

namespace {
// The page of the family that owns the serial line, for its first device,
// chooses the port; every other device page hides the serial controls.
bool ShowsSerialControls(const DevicePage& state) {
    return state.kind == Link.DevicePortOwner() && state.slot == 0;
}

INT_PTR InitPage(HWND page) {
    HideSerialDetails(page);
    const DevicePage requested = DeviceAskedFor(DialogKind::DevicePage);
    AttachDialogState(page, KroConfigProc, requested);
    // The defaults' notice and questions let the host in meanwhile: a page
    // closed by then took its state along, and is not filled any further.
    ApplyDefaults(page, requested.kind, requested.slot);
    DevicePage* state = DevicePageOf(page);
    if (state == nullptr) {
        return TRUE;
    }
    switch (state->kind) {
    case STOLVO_KIND_SHUTTER:
        InitShutterPage(page, *state);
        break;
    case STOLVO_KIND_FILTER_WHEEL:
        InitWheelPage(page, *state, true);
        break;
    case STOLVO_KIND_FOCUS:
        InitFocusPage(page);
        break;
    default:
        break;
    }
    PlacePage(page, state->top);
    if (ShowsSerialControls(*state)) {
        ApplyDefaults(page, STOLVO_KIND_SERIAL_LINE, 0);
        state = DevicePageOf(page);
        if (state == nullptr) {
            return TRUE;
        }
        FillSerialControls(page, true);
    } else {
        HideSerialControls(page);
    }
    // Filling the boxes above reported changes that are none of the user's.
    state->shutterNameEdited = false;
    state->positionNameEdited = false;
    state->filterSetDirty = false;
    return TRUE;
}

INT_PTR Command(HWND page, int id, int code) {
    // A window that is no device page stands for no device.
    DevicePage none{};
    DevicePage* found = DevicePageOf(page);
    DevicePage& state = found != nullptr ? *found : none;
    if (HandleSerialCommand(page, id, code, StagePageWindow) ||
        HandleFocusCommand(page, state, id, code) || HandleShutterCommand(page, state, id, code) ||
        HandleSetCommand(page, state, id, code) || HandlePositionCommand(page, state, id, code)) {
        return TRUE;
    }
    if (id == kRefreshSerialControls) {
        if (ShowsSerialControls(state)) {
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
            FreeDialogState<DevicePage>(page, KroConfigProc);
            return trace.Return(FALSE);
        default:
            return trace.Return(FALSE);
        }
    } catch (...) {
        return trace.Return(FALSE);
    }
}
