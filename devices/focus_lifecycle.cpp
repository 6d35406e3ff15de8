// Initialisation, close and the focus exports that need no controller.
#include "devices/focus.h"
#include "core/export_trace.h"
#include "config/device_kind.h"
#include "config/device_records.h"
#include "config/host_hardware_file.h"
#include "core/controller_link.h"
#include "core/driver_settings.h"
#include "devices/export_guard.h"
#include "include/STolvo32.h"

extern "C" {

int WINAPI StgZInit(HostCallback callback) {
    ExportTrace trace("StgZInit", callback);
    return trace.Return(Guarded(STOLVO_LINK_FAILED, [&] {
        if (!Link.FocusObject().IsBound()) {
            switch (Link.BindFocusObject()) {
            case BindResult::NoClass:
                return STOLVO_NOT_BOUND;
            case BindResult::NotCreated:
                // Reported as ready: the motion exports find FocusObject empty.
                return STOLVO_OK;
            case BindResult::Bound:
                break;
            }
        }
        if (IsHostDeviceOurs(STOLVO_KIND_FOCUS, 0)) {
            Link.ClaimDevicePort(STOLVO_KIND_FOCUS);
            LoadDeviceRecord(0, STOLVO_KIND_FOCUS);
            Link.HoldLinkForFocus(ControllerLink::Holder::Device);
            DeviceFamilies.DeviceClientCallback = callback;
        } else {
            Link.ClaimStagePort(STOLVO_KIND_FOCUS);
            Link.HoldLinkForFocus(ControllerLink::Holder::Stage);
            DeviceFamilies.StageClientCallback = callback;
        }
        // The line settings are whatever the XY stage, a line-owning device
        // family or a page left in memory.
        return Link.ConnectController() != 0 ? STOLVO_OK : STOLVO_LINK_FAILED;
    }));
}

int WINAPI StgZClose() {
    ExportTrace trace("StgZClose");
    return trace.Return(Guarded(STOLVO_OK, [] {
        Link.ReleaseFocus();
        return STOLVO_OK;
    }));
}

int WINAPI StgZStatus() {
    ExportTrace trace("StgZStatus");
    return trace.Return(STOLVO_OK);
}

int WINAPI StgZSetSpeed(int unused) {
    ExportTrace trace("StgZSetSpeed", unused);
    return trace.Return(STOLVO_NOT_BOUND); // the focus drive offers no speed control
}

int WINAPI StgZCalib(double* stepSize) {
    ExportTrace trace("StgZCalib", stepSize);
    if (stepSize != nullptr) {
        *stepSize = DriverSettings.zStep;
    }
    return trace.Return(STOLVO_OK);
}

int WINAPI StgZStepSize(int unused) {
    ExportTrace trace("StgZStepSize", unused);
    return trace.Return(STOLVO_OK);
}

int WINAPI StgZCanAutoFocus() {
    ExportTrace trace("StgZCanAutoFocus");
    return trace.Return(DriverSettings.canAutoFocus);
}

int WINAPI StgZAutoFocus(int unused) {
    ExportTrace trace("StgZAutoFocus", unused);
    return trace.Return(STOLVO_OK);
}

int WINAPI StgZType(int* type) {
    ExportTrace trace("StgZType", type);
    if (type != nullptr) {
        *type = 0;
    }
    return trace.Return(STOLVO_OK);
}

int WINAPI StgZWrite(int unused1, int unused2) {
    ExportTrace trace("StgZWrite", unused1, unused2);
    return trace.Return(STOLVO_OK);
}

int WINAPI StgZRead(int unused1, int unused2, int unused3) {
    ExportTrace trace("StgZRead", unused1, unused2, unused3);
    return trace.Return(STOLVO_OK);
}
}
