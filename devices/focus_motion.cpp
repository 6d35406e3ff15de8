// Moving, stepping and reading the focus drive, and its software origin.
#include "devices/focus.h"
#include "core/export_trace.h"
#include "core/automation_objects.h"
#include "core/dispatch_call.h"
#include "core/focus_members.h"
#include "core/wait_for_idle.h"
#include "devices/device_codes.h"
#include "devices/export_guard.h"
#include "devices/host_positions.h"

int ZOffset = 0;

namespace {
// Inline: a double returned from a function of its own comes back through the
// x87 stack and memory, which costs more than the read itself.
DISPATCH_INLINE double ServerPosition() {
    return GetPropertyR8(FocusObject.get(), FocusMember::Position);
}

// Runs `work` on a bound FocusObject; a failed call counts as not done.
template <typename Work> int OnFocus(Work&& work) {
    return Guarded(kNotBound, [&] {
        if (!FocusObject.IsBound()) {
            return kNotBound;
        }
        return work();
    });
}
} // namespace

extern "C" {

int WINAPI StgZMove(int z, int unused) {
    ExportTrace trace("StgZMove", z, unused);
    return trace.Return(OnFocus([&] {
        const double target = static_cast<double>(WrappingDifference(z, ZOffset));
        CallMethod(FocusObject.get(), FocusMember::MoveTo, target);
        WaitForIdle(kFocusWait);
        return 0;
    }));
}

int WINAPI StgZReport(int* z) {
    ExportTrace trace("StgZReport", z);
    return trace.Return(OnFocus([&] {
        const int position = TruncateToHostPosition(ServerPosition() + ZOffset);
        if (z != nullptr) {
            *z = position;
        }
        return 0;
    }));
}

int WINAPI StgZStep(int steps) {
    ExportTrace trace("StgZStep", steps);
    return trace.Return(OnFocus([&] {
        // The distance is sent positive; negated in double so INT_MIN stays exact.
        if (steps < 0) {
            CallMethod(FocusObject.get(), FocusMember::StepNegative, -static_cast<double>(steps));
        } else {
            CallMethod(FocusObject.get(), FocusMember::StepPositive, static_cast<double>(steps));
        }
        WaitForIdle(kFocusWait);
        return 0;
    }));
}

int WINAPI StgZOrigin() {
    ExportTrace trace("StgZOrigin");
    return trace.Return(OnFocus([] {
        ZOffset = WrappingNegation(TruncateToHostPosition(ServerPosition()));
        return 0;
    }));
}
}
