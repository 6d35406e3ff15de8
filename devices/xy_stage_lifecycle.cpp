// Initialisation, close and the XY exports that report without moving.
#include "devices/xy_stage.h"
#include "core/export_trace.h"
#include "core/controller_link.h"
#include "core/driver_settings.h"
#include "devices/export_guard.h"
#include "devices/page_notices.h"
#include "include/STolvo32.h"

extern "C" {

int WINAPI StgXYInit(HostCallback callback) {
    ExportTrace trace("StgXYInit", callback);
    return trace.Return(Guarded(STOLVO_LINK_FAILED, [&] {
        Link.ClaimStagePort(ControllerLink::kXYStageOwner);
        LoadDriverSettings();
        if (DriverSettings.port == -1) {
            return STOLVO_NOT_CONFIGURED;
        }
        DeviceFamilies.StageClientCallback = callback;
        if (Link.ConnectController() == 0) {
            return STOLVO_LINK_FAILED;
        }
        Link.HoldLink(ControllerLink::Holder::Stage);
        return STOLVO_OK;
    }));
}

int WINAPI StgXYClose() {
    ExportTrace trace("StgXYClose");
    return trace.Return(Guarded(STOLVO_OK, [] {
        Link.ReleaseXYStage();
        NoteStageClosed();
        return STOLVO_OK;
    }));
}

int WINAPI StgXYStatus() {
    ExportTrace trace("StgXYStatus");
    return trace.Return(STOLVO_OK);
}

int WINAPI StgXYType(int* type) {
    ExportTrace trace("StgXYType", type);
    if (type != nullptr) {
        *type = DriverSettings.hasJoystick != 0 ? (XYStageType | 1) : (XYStageType & ~1);
    }
    return trace.Return(STOLVO_OK);
}

int WINAPI StgXYCalib(double* x, double* y) {
    ExportTrace trace("StgXYCalib", x, y);
    if (x != nullptr) {
        *x = DriverSettings.xyStep;
    }
    if (y != nullptr) {
        *y = DriverSettings.xyStep;
    }
    return trace.Return(STOLVO_OK);
}

int WINAPI StgXYJoystick(int unused) {
    ExportTrace trace("StgXYJoystick", unused);
    return trace.Return(STOLVO_OK);
}
int WINAPI StgXYWrite(int unused1, int unused2) {
    ExportTrace trace("StgXYWrite", unused1, unused2);
    return trace.Return(STOLVO_OK);
}
int WINAPI StgXYRead(int unused1, int unused2, int unused3) {
    ExportTrace trace("StgXYRead", unused1, unused2, unused3);
    return trace.Return(STOLVO_OK);
}

int WINAPI StgXStepSize(int unused) {
    ExportTrace trace("StgXStepSize", unused);
    return trace.Return(Link.StageObject().IsBound() ? STOLVO_OK : STOLVO_NOT_BOUND);
}
int WINAPI StgYStepSize(int unused) {
    ExportTrace trace("StgYStepSize", unused);
    return trace.Return(Link.StageObject().IsBound() ? STOLVO_OK : STOLVO_NOT_BOUND);
}
}
