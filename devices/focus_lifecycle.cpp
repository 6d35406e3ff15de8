// Initialisation, close and the focus exports that need no controller.
#include "devices/focus.h"
#include "config/device_kind.h"
#include "config/device_records.h"
#include "config/host_hardware_file.h"
#include "core/automation_objects.h"
#include "core/controller_connection.h"
#include "core/driver_settings.h"
#include "core/link_holders.h"
#include "devices/device_codes.h"
#include "devices/export_guard.h"

namespace {
// StgZInit's own code for a "tolvo.Z" that has no class.
constexpr int kNoFocusClass = 1;

// The holder the focus family became at its last initialisation; a close
// before any initialisation acts as on the stage path.
LinkHolder FocusHolder = LinkHolder::Stage;
} // namespace

extern "C" {

int WINAPI StgZInit(HostCallback callback) {
    return Guarded(kLinkFailed, [&] {
        if (!FocusObject.IsBound()) {
            switch (FocusObject.Bind(L"tolvo.Z")) {
            case BindResult::NoClass:
                return kNoFocusClass;
            case BindResult::NotCreated:
                return 0;
            case BindResult::Bound:
                break;
            }
        }
        if (IsHostDeviceOurs(kKindFocus, 0)) {
            ClaimDevicePort(kFocusFamily);
            LoadDeviceRecord(0, kKindFocus);
            FocusHolder = LinkHolder::Device;
            HoldLink(FocusHolder);
            DeviceClientCallback = callback;
        } else {
            ClaimStagePort(kFocusFamily);
            FocusHolder = LinkHolder::Stage;
            HoldLink(FocusHolder);
            StageClientCallback = callback;
        }
        // The line settings are whatever the XY stage, a line-owning device
        // family or a page left in memory.
        return ConnectController() != 0 ? 0 : kLinkFailed;
    });
}

int WINAPI StgZClose() {
    return Guarded(0, [] {
        ReleaseFocus(FocusHolder);
        return 0;
    });
}

int WINAPI StgZStatus() {
    return 0;
}

int WINAPI StgZSetSpeed(int) {
    return 1; // the focus drive offers no speed control
}

int WINAPI StgZCalib(double* stepSize) {
    if (stepSize != nullptr) {
        *stepSize = DriverSettings.zStep;
    }
    return 0;
}

int WINAPI StgZStepSize(int) {
    return 0;
}

int WINAPI StgZCanAutoFocus() {
    return DriverSettings.canAutoFocus;
}

int WINAPI StgZAutoFocus(int) {
    return 0;
}

int WINAPI StgZType(int* type) {
    if (type != nullptr) {
        *type = 0;
    }
    return 0;
}

int WINAPI StgZWrite(int, int) {
    return 0;
}

int WINAPI StgZRead(int, int, int) {
    return 0;
}
}
