// Moving, stepping and reading the XY stage.
#include "devices/xy_stage.h"
#include "core/export_trace.h"
#include "core/automation_objects.h"
#include "core/dispatch_call.h"
#include "core/driver_settings.h"
#include "core/stage_members.h"
#include "core/wait_for_idle.h"
#include "devices/export_guard.h"
#include "devices/host_positions.h"

namespace {

constexpr double kPercent = 0.01;
constexpr double kFullSpeed = 50000.0;

// Inline in StgXYMove: a call of its own, with the doubles handed over
// through memory, costs about as much as a small in-process server's answer.
DISPATCH_INLINE void SendMoveXY(double x, double y) {
    CallMethod(StageObject.get(), StageMember::MoveXY, x, y);
}

int StepAxis(const ServerMember& member, int distance) {
    return Guarded(kNotDone, [&] {
        if (!StageObject.IsBound()) {
            return kNotDone;
        }
        CallMethod(StageObject.get(), member, static_cast<double>(distance));
        WaitForIdle(StageTimeOut());
        return 0;
    });
}
} // namespace

DWORD StageTimeOut() {
    return static_cast<DWORD>(DriverSettings.timeOut);
}

void StageMoveTo(double x, double y) {
    SendMoveXY(x, y);
}

void StageSetOrigin() {
    CallMethod(StageObject.get(), StageMember::SetXY, 0.0, 0.0);
}

extern "C" {

int WINAPI StgXYMove(int x, int y, int wait) {
    ExportTrace trace("StgXYMove", x, y, wait);
    return trace.Return(Guarded(kNotDone, [&] {
        if (!StageObject.IsBound()) {
            return kNotDone;
        }
        SendMoveXY(static_cast<double>(x), static_cast<double>(y));
        if (wait != 0) {
            WaitForIdle(StageTimeOut());
        }
        return 0;
    }));
}

int WINAPI StgXYReport(int* x, int* y) {
    ExportTrace trace("StgXYReport", x, y);
    return trace.Return(Guarded(kNotDone, [&] {
        if (!StageObject.IsBound()) {
            return kNotDone;
        }
        double readX = 0.0;
        double readY = 0.0;
        CallMethod(StageObject.get(), StageMember::GetXY, &readX, &readY);
        if (x != nullptr) {
            *x = TruncateToHostPosition(readX);
        }
        if (y != nullptr) {
            *y = TruncateToHostPosition(readY);
        }
        return 0;
    }));
}

int WINAPI StgXStep(int dx) {
    ExportTrace trace("StgXStep", dx);
    return trace.Return(StepAxis(StageMember::StepX, dx));
}

int WINAPI StgYStep(int dy) {
    ExportTrace trace("StgYStep", dy);
    return trace.Return(StepAxis(StageMember::StepY, dy));
}

int WINAPI StgXYStep(int dx, int dy) {
    ExportTrace trace("StgXYStep", dx, dy);
    const int xResult = StgXStep(dx);
    const int yResult = StgYStep(dy);
    return trace.Return(xResult != 0 || yResult != 0 ? kNotDone : 0);
}

int WINAPI StgXYOrigin() {
    ExportTrace trace("StgXYOrigin");
    return trace.Return(Guarded(kNotDone, [] {
        if (!StageObject.IsBound()) {
            return kNotDone;
        }
        StageSetOrigin();
        return 0;
    }));
}

int WINAPI StgXYSetSpeed(int percent) {
    ExportTrace trace("StgXYSetSpeed", percent);
    return trace.Return(Guarded(kNotDone, [&] {
        if (!StageObject.IsBound()) {
            return kNotDone;
        }
        // Two roundings, as the host expects: 29 % gives 14499, not 14500.
        const double fraction = static_cast<double>(percent) * kPercent;
        const int speed = static_cast<int>(fraction * kFullSpeed);
        PutPropertyR8(StageObject.get(), StageMember::Speed, static_cast<double>(speed));
        return 0;
    }));
}
}
