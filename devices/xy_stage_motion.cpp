// Moving, stepping and reading the XY stage.
#include "devices/xy_stage.h"
#include "core/export_trace.h"
#include "core/controller_link.h"
#include "core/dispatch_call.h"
#include "core/driver_settings.h"
#include "core/stage_members.h"
#include "core/wait_for_idle.h"
#include "devices/export_guard.h"
#include "devices/host_positions.h"
#include "include/STolvo32.h"

namespace {

constexpr double kPercent = 0.01;
constexpr double kFullSpeed = 50000.0;

// Inline in StgXYMove: a call of its own, with the doubles handed over
// through memory, costs about as much as a small in-process server's answer.
DISPATCH_INLINE void SendMoveXY(double x, double y) {
    CallMethod(Link.StageObject().get(), StageMember::MoveXY, x, y);
}

int StepAxis(const ServerMember& member, int distance) {
    return Guarded(STOLVO_NOT_BOUND, [&] {
        if (!Link.StageObject().IsBound()) {
            return STOLVO_NOT_BOUND;
        }
        CallMethod(Link.StageObject().get(), member, static_cast<double>(distance));
        WaitForIdle(StageTimeOut());
        return STOLVO_OK;
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
    CallMethod(Link.StageObject().get(), StageMember::SetXY, 0.0, 0.0);
}

extern "C" {

int WINAPI StgXYMove(int x, int y, int wait) {
    ExportTrace trace("StgXYMove", x, y, wait);
    return trace.Return(Guarded(STOLVO_NOT_BOUND, [&] {
        if (!Link.StageObject().IsBound()) {
            return STOLVO_NOT_BOUND;
        }
        SendMoveXY(static_cast<double>(x), static_cast<double>(y));
        if (wait != 0) {
            WaitForIdle(StageTimeOut());
        }
        return STOLVO_OK;
    }));
}

int WINAPI StgXYReport(int* x, int* y) {
    ExportTrace trace("StgXYReport", x, y);
    return trace.Return(Guarded(STOLVO_NOT_BOUND, [&] {
        if (!Link.StageObject().IsBound()) {
            return STOLVO_NOT_BOUND;
        }
        double readX = 0.0;
        double readY = 0.0;
        CallMethod(Link.StageObject().get(), StageMember::GetXY, &readX, &readY);
        if (x != nullptr) {
            *x = TruncateToHostPosition(readX);
        }
        if (y != nullptr) {
            *y = TruncateToHostPosition(readY);
        }
        return STOLVO_OK;
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
    return trace.Return(xResult != 0 || yResult != 0 ? STOLVO_NOT_BOUND : STOLVO_OK);
}

int WINAPI StgXYOrigin() {
    ExportTrace trace("StgXYOrigin");
    return trace.Return(Guarded(STOLVO_NOT_BOUND, [] {
        if (!Link.StageObject().IsBound()) {
            return STOLVO_NOT_BOUND;
        }
        StageSetOrigin();
        return STOLVO_OK;
    }));
}

int WINAPI StgXYSetSpeed(int percent) {
    ExportTrace trace("StgXYSetSpeed", percent);
    return trace.Return(Guarded(STOLVO_NOT_BOUND, [&] {
        if (!Link.StageObject().IsBound()) {
            return STOLVO_NOT_BOUND;
        }
        // Two roundings, as the host expects: 29 % gives 14499, not 14500.
        const double fraction = static_cast<double>(percent) * kPercent;
        const int speed = static_cast<int>(fraction * kFullSpeed);
        PutPropertyR8(Link.StageObject().get(), StageMember::Speed, static_cast<double>(speed));
        return STOLVO_OK;
    }));
}
}
