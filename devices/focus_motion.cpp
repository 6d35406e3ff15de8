// Moving, stepping and reading the focus drive, and its software origin.
#include "devices/focus.h"
#include "core/export_trace.h"
#include "core/controller_link.h"
#include "core/dispatch_call.h"
#include "core/focus_members.h"
#include "core/wait_for_idle.h"
#include "devices/export_guard.h"
#include "devices/host_positions.h"
#include "include/STolvo32.h"

namespace {
// Inline: a double returned from a function of its own comes back through the
// x87 stack and memory, which costs more than the read itself.
DISPATCH_INLINE double ServerPosition() {
    return GetPropertyR8(Link.FocusObject().get(), FocusMember::Position);
}

// Runs `work` on a bound FocusObject; a failed call counts as not done.
template <typename Work> int OnFocus(Work&& work) {
    return Guarded(STOLVO_NOT_BOUND, [&] {
        if (!Link.FocusObject().IsBound()) {
            return STOLVO_NOT_BOUND;
        }
        return work();
    });
}
} // namespace

extern "C" {

int WINAPI StgZMove(int z, int unused) {
    ExportTrace trace("StgZMove", z, unused);
    return trace.Return(OnFocus([&] {
        const double target = static_cast<double>(WrappingDifference(z, DeviceFamilies.ZOffset));
        CallMethod(Link.FocusObject().get(), FocusMember::MoveTo, target);
        WaitForIdle(kFocusWait);
        return STOLVO_OK;
    }));
}

int WINAPI StgZReport(int* z) {
    ExportTrace trace("StgZReport", z);
    return trace.Return(OnFocus([&] {
        const int position = TruncateToHostPosition(ServerPosition() + DeviceFamilies.ZOffset);
        if (z != nullptr) {
            *z = position;
        }
        return STOLVO_OK;
    }));
}

int WINAPI StgZStep(int steps) {
    ExportTrace trace("StgZStep", steps);
    return trace.Return(OnFocus([&] {
        // The distance is sent positive; negated in double so INT_MIN stays exact.
        if (steps < 0) {
            CallMethod(Link.FocusObject().get(), FocusMember::StepNegative,
                       -static_cast<double>(steps));
        } else {
            CallMethod(Link.FocusObject().get(), FocusMember::StepPositive,
                       static_cast<double>(steps));
        }
        WaitForIdle(kFocusWait);
        return STOLVO_OK;
    }));
}

int WINAPI StgZOrigin() {
    ExportTrace trace("StgZOrigin");
    return trace.Return(OnFocus([] {
        DeviceFamilies.ZOffset = WrappingNegation(TruncateToHostPosition(ServerPosition()));
        return STOLVO_OK;
    }));
}
}
