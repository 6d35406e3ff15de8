// Initialisation, close and the focus exports that need no controller.
#include "devices/focus.h"
#include "core/export_trace.h"
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
    ExportTrace trace("StgZInit", callback);
    return trace.Return(Guarded(kLinkFailed, [&] {
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
    }));
}

int WINAPI StgZClose() {
    ExportTrace trace("StgZClose");
    return trace.Return(Guarded(0, [] {
        ReleaseFocus(FocusHolder);
        return 0;
    }));
}

int WINAPI StgZStatus() {
    ExportTrace trace("StgZStatus");
    return trace.Return(0);
}

int WINAPI StgZSetSpeed(int unused) {
    ExportTrace trace("StgZSetSpeed", unused);
    return trace.Return(1); // the focus drive offers no speed control
}

int WINAPI StgZCalib(double* stepSize) {
    ExportTrace trace("StgZCalib", stepSize);
    if (stepSize != nullptr) {
        *stepSize = DriverSettings.zStep;
    }
    return trace.Return(0);
}

int WINAPI StgZStepSize(int unused) {
    ExportTrace trace("StgZStepSize", unused);
    return trace.Return(0);
}

int WINAPI StgZCanAutoFocus() {
    ExportTrace trace("StgZCanAutoFocus");
    return trace.Return(DriverSettings.canAutoFocus);
}

int WINAPI StgZAutoFocus(int unused) {
    ExportTrace trace("StgZAutoFocus", unused);
    return trace.Return(0);
}

int WINAPI StgZType(int* type) {
    ExportTrace trace("StgZType", type);
    if (type != nullptr) {
        *type = 0;
    }
    return trace.Return(0);
}

int WINAPI StgZWrite(int unused1, int unused2) {
    ExportTrace trace("StgZWrite", unused1, unused2);
    return trace.Return(0);
}

int WINAPI StgZRead(int unused1, int unused2, int unused3) {
    ExportTrace trace("StgZRead", unused1, unused2, unused3);
    return trace.Return(0);
}
}
