// Moving, stepping and reading the XY stage.
#include "devices/xy_stage.h"
#include "core/automation_objects.h"
#include "core/dispatch_call.h"
#include "core/driver_settings.h"
#include "core/wait_for_idle.h"
#include "devices/export_guard.h"

namespace {
constexpr DISPID kSpeed = 9;
constexpr DISPID kGetXY = 20;
constexpr DISPID kStepY = 23;
constexpr DISPID kStepX = 24;
constexpr DISPID kMoveXY = 27;
constexpr DISPID kSetXY = 30;

constexpr double kPercent = 0.01;
constexpr double kFullSpeed = 50000.0;

int StepAxis(DISPID member, int distance) {
    return Guarded(kNotDone, [&] {
        if (!StageObject.IsBound()) {
            return kNotDone;
        }
        CallMethod(StageObject.get(), member, {ArgR8(static_cast<double>(distance))});
        WaitForIdle(StageTimeOut());
        return 0;
    });
}
} // namespace

DWORD StageTimeOut() {
    return static_cast<DWORD>(DriverSettings.timeOut);
}

void StageMoveTo(double x, double y) {
    CallMethod(StageObject.get(), kMoveXY, {ArgR8(x), ArgR8(y)});
}

void StageSetOrigin() {
    CallMethod(StageObject.get(), kSetXY, {ArgR8(0.0), ArgR8(0.0)});
}

extern "C" {

int WINAPI StgXYMove(int x, int y, int wait) {
    return Guarded(kNotDone, [&] {
        if (!StageObject.IsBound()) {
            return kNotDone;
        }
        StageMoveTo(static_cast<double>(x), static_cast<double>(y));
        if (wait != 0) {
            WaitForIdle(StageTimeOut());
        }
        return 0;
    });
}

int WINAPI StgXYReport(int* x, int* y) {
    return Guarded(kNotDone, [&] {
        if (!StageObject.IsBound()) {
            return kNotDone;
        }
        double readX = 0.0;
        double readY = 0.0;
        CallMethod(StageObject.get(), kGetXY, {RefR8(&readX), RefR8(&readY)});
        if (x != nullptr) {
            *x = static_cast<int>(readX);
        }
        if (y != nullptr) {
            *y = static_cast<int>(readY);
        }
        return 0;
    });
}

int WINAPI StgXStep(int dx) {
    return StepAxis(kStepX, dx);
}

int WINAPI StgYStep(int dy) {
    return StepAxis(kStepY, dy);
}

int WINAPI StgXYStep(int dx, int dy) {
    const int xResult = StgXStep(dx);
    const int yResult = StgYStep(dy);
    return xResult != 0 || yResult != 0 ? kNotDone : 0;
}

int WINAPI StgXYOrigin() {
    return Guarded(kNotDone, [] {
        if (!StageObject.IsBound()) {
            return kNotDone;
        }
        StageSetOrigin();
        return 0;
    });
}

int WINAPI StgXYSetSpeed(int percent) {
    return Guarded(kNotDone, [&] {
        if (!StageObject.IsBound()) {
            return kNotDone;
        }
        // Two roundings, as the host expects: 29 % gives 14499, not 14500.
        const double fraction = static_cast<double>(percent) * kPercent;
        const int speed = static_cast<int>(fraction * kFullSpeed);
        PutPropertyR8(StageObject.get(), kSpeed, static_cast<double>(speed));
        return 0;
    });
}
}
