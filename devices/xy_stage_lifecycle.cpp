// Initialisation, close and the XY exports that report without moving.
#include "devices/xy_stage.h"
#include "core/automation_objects.h"
#include "core/controller_connection.h"
#include "core/driver_settings.h"
#include "core/link_holders.h"
#include "devices/export_guard.h"
#include "ui/page_state.h"

extern "C" {

int WINAPI StgXYInit(HostCallback callback) {
    return Guarded(-1, [&] {
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
    });
}

int WINAPI StgXYClose() {
    return Guarded(0, [] {
        ReleaseXYStage();
        DestroyStagePage();
        return 0;
    });
}

int WINAPI StgXYStatus() {
    return 0;
}

int WINAPI StgXYType(int* type) {
    if (type != nullptr) {
        *type = DriverSettings.hasJoystick != 0 ? (XYStageType | 1) : (XYStageType & ~1);
    }
    return 0;
}

int WINAPI StgXYCalib(double* x, double* y) {
    if (x != nullptr) {
        *x = DriverSettings.xyStep;
    }
    if (y != nullptr) {
        *y = DriverSettings.xyStep;
    }
    return 0;
}

int WINAPI StgXYJoystick(int) {
    return 0;
}
int WINAPI StgXYWrite(int, int) {
    return 0;
}
int WINAPI StgXYRead(int, int, int) {
    return 0;
}

int WINAPI StgXStepSize(int) {
    return StageObject.IsBound() ? 0 : kNotDone;
}
int WINAPI StgYStepSize(int) {
    return StageObject.IsBound() ? 0 : kNotDone;
}
}
