// The host's numbered XY commands: controller command, travel ends, centring.
#include "devices/xy_stage.h"
#include "core/export_trace.h"
#include "core/controller_link.h"
#include "core/dispatch_call.h"
#include "core/scan_members.h"
#include "core/stage_members.h"
#include "core/wait_for_idle.h"
#include "devices/export_guard.h"
#include "include/STolvo32.h"
#include <oleauto.h>

namespace {
constexpr double kTravelEnd = 250000.0;
constexpr DWORD kFixedWait = 5000;
constexpr double kCentre = 0.5;

void Run(const ServerMember& member, double distance) {
    CallMethod(Link.StageObject().get(), member, distance);
    WaitForIdle(kFixedWait);
}

// Frees whatever text the variable holds when the call is over, including a
// text the server put there in place of ours.
class OwnedBstr {
  public:
    explicit OwnedBstr(BSTR text) : text_(text) {}
    ~OwnedBstr() { SysFreeString(text_); }
    OwnedBstr(const OwnedBstr&) = delete;
    OwnedBstr& operator=(const OwnedBstr&) = delete;
    BSTR* address() { return &text_; }

  private:
    BSTR text_;
};

// Without their object, commands 0, 2 and 4 count as done and 1 and 3 as not
// bound, as the host expects.
int ControllerCommand() {
    if (!Link.ScanObject().IsBound()) {
        return STOLVO_OK;
    }
    CallMethod(Link.ScanObject().get(), ScanMember::ScanCommand);
    WaitForIdle(StageTimeOut());
    return STOLVO_OK;
}

int NegativeTravelEnd() {
    if (!Link.StageObject().IsBound()) {
        return STOLVO_NOT_BOUND;
    }
    WaitForIdle(kFixedWait);
    StageMoveTo(-kTravelEnd, -kTravelEnd);
    WaitForIdle(kFixedWait);
    StageSetOrigin();
    return STOLVO_OK;
}

int PositiveTravelEnd() {
    if (!Link.StageObject().IsBound()) {
        return STOLVO_OK;
    }
    // The server expects a 26-byte text buffer: 25 letters and a zero byte.
    static const char kLetters[] = "abcdefghjklmnopqrstuvwxyz";
    OwnedBstr text(SysAllocStringByteLen(kLetters, sizeof kLetters));
    if (*text.address() == nullptr) {
        throw DispatchFailure{E_OUTOFMEMORY};
    }
    LONG first = 0;
    LONG values[4] = {0, 0, 0, 0};
    CallMethod(Link.StageObject().get(), StageMember::StageQuery, &first, text.address(),
               &values[0], &values[1], &values[2], &values[3]);
    WaitForIdle(StageTimeOut());
    StageMoveTo(kTravelEnd, kTravelEnd);
    WaitForIdle(StageTimeOut());
    return STOLVO_OK;
}

int Centre() {
    if (!Link.StageObject().IsBound()) {
        return STOLVO_NOT_BOUND;
    }
    Run(StageMember::RunX, -kTravelEnd);
    Run(StageMember::RunY, -kTravelEnd);
    StageSetOrigin();
    Run(StageMember::RunX, kTravelEnd);
    Run(StageMember::RunY, kTravelEnd);
    const double travelX = GetPropertyR8(Link.StageObject().get(), StageMember::TravelX);
    const double travelY = GetPropertyR8(Link.StageObject().get(), StageMember::TravelY);
    StageMoveTo(travelX * kCentre, travelY * kCentre);
    WaitForIdle(kFixedWait);
    StageSetOrigin();
    return STOLVO_OK;
}

int ReturnToOrigin() {
    if (!Link.StageObject().IsBound()) {
        return STOLVO_OK;
    }
    WaitForIdle(StageTimeOut());
    StageMoveTo(0.0, 0.0);
    WaitForIdle(StageTimeOut());
    return STOLVO_OK;
}
} // namespace

extern "C" int WINAPI StgXYCommand(int command) {
    ExportTrace trace("StgXYCommand", command);
    return trace.Return(Guarded(STOLVO_NOT_BOUND, [&] {
        switch (command) {
        case 0:
            return ControllerCommand();
        case 1:
            return NegativeTravelEnd();
        case 2:
            return PositiveTravelEnd();
        case 3:
            return Centre();
        case 4:
            return ReturnToOrigin();
        default:
            return STOLVO_OK;
        }
    }));
}
