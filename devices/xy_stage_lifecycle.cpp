// Initialisation, close and the XY exports that report without moving.
#include "devices/xy_stage.h"
#include "core/export_trace.h"
#include "core/automation_objects.h"
#include "core/controller_connection.h"
#include "core/driver_settings.h"
#include "core/link_holders.h"
#include "devices/export_guard.h"
#include "devices/page_notices.h"

extern "C" {

int WINAPI StgXYInit(HostCallback callback) {
    ExportTrace trace("StgXYInit", callback);
    return trace.Return(Guarded(-1, [&] {
        ClaimStagePort(kXYFamily);
        LoadDriverSettings();
        if (DriverSettings.port == -1) {
            return -2;
        }
        StageClientCallback = callback;
        if (ConnectController() == 0) {
            return -1;
        }
        HoldLink(LinkHolder::Stage);
        return 0;
    }));
}

int WINAPI StgXYClose() {
    ExportTrace trace("StgXYClose");
    return trace.Return(Guarded(0, [] {
        ReleaseXYStage();
        NoteStageClosed();
        return 0;
    }));
}

int WINAPI StgXYStatus() {
    ExportTrace trace("StgXYStatus");
    return trace.Return(0);
}

int WINAPI StgXYType(int* type) {
    ExportTrace trace("StgXYType", type);
    if (type != nullptr) {
        *type = DriverSettings.hasJoystick != 0 ? (XYStageType | 1) : (XYStageType & ~1);
    }
    return trace.Return(0);
}

int WINAPI StgXYCalib(double* x, double* y) {
    ExportTrace trace("StgXYCalib", x, y);
    if (x != nullptr) {
        *x = DriverSettings.xyStep;
    }
    if (y != nullptr) {
        *y = DriverSettings.xyStep;
    }
    return trace.Return(0);
}

int WINAPI StgXYJoystick(int unused) {
    ExportTrace trace("StgXYJoystick", unused);
    return trace.Return(0);
}
int WINAPI StgXYWrite(int unused1, int unused2) {
    ExportTrace trace("StgXYWrite", unused1, unused2);
    return trace.Return(0);
}
int WINAPI StgXYRead(int unused1, int unused2, int unused3) {
    ExportTrace trace("StgXYRead", unused1, unused2, unused3);
    return trace.Return(0);
}

int WINAPI StgXStepSize(int unused) {
    ExportTrace trace("StgXStepSize", unused);
    return trace.Return(StageObject.IsBound() ? 0 : kNotDone);
}
int WINAPI StgYStepSize(int unused) {
    ExportTrace trace("StgYStepSize", unused);
    return trace.Return(StageObject.IsBound() ? 0 : kNotDone);
}
}
