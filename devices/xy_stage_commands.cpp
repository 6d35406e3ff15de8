// The host's numbered XY commands: controller command, travel ends, centring.
#include "devices/xy_stage.h"
#include "core/export_trace.h"
#include "core/automation_objects.h"
#include "core/dispatch_call.h"
#include "core/scan_members.h"
#include "core/stage_members.h"
#include "core/wait_for_idle.h"
#include "devices/export_guard.h"
#include <oleauto.h>

namespace {
constexpr double kTravelEnd = 250000.0;
constexpr DWORD kFixedWait = 5000;
constexpr double kCentre = 0.5;

void Run(const ServerMember& member, double distance) {
    CallMethod(StageObject.get(), member, distance);
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

int ControllerCommand() {
    if (!ScanObject.IsBound()) {
        return 0;
    }
    CallMethod(ScanObject.get(), ScanMember::ScanCommand);
    WaitForIdle(StageTimeOut());
    return 0;
}

int NegativeTravelEnd() {
    if (!StageObject.IsBound()) {
        return kNotDone;
    }
    WaitForIdle(kFixedWait);
    StageMoveTo(-kTravelEnd, -kTravelEnd);
    WaitForIdle(kFixedWait);
    StageSetOrigin();
    return 0;
}

int PositiveTravelEnd() {
    if (!StageObject.IsBound()) {
        return 0;
    }
    // The server expects a 26-byte text buffer: 25 letters and a zero byte.
    static const char kLetters[] = "abcdefghjklmnopqrstuvwxyz";
    OwnedBstr text(SysAllocStringByteLen(kLetters, sizeof kLetters));
    if (*text.address() == nullptr) {
        throw DispatchFailure{E_OUTOFMEMORY};
    }
    LONG first = 0;
    LONG values[4] = {0, 0, 0, 0};
    CallMethod(StageObject.get(), StageMember::StageQuery, &first, text.address(), &values[0],
               &values[1], &values[2], &values[3]);
    WaitForIdle(StageTimeOut());
    StageMoveTo(kTravelEnd, kTravelEnd);
    WaitForIdle(StageTimeOut());
    return 0;
}

int Centre() {
    if (!StageObject.IsBound()) {
        return kNotDone;
    }
    Run(StageMember::RunX, -kTravelEnd);
    Run(StageMember::RunY, -kTravelEnd);
    StageSetOrigin();
    Run(StageMember::RunX, kTravelEnd);
    Run(StageMember::RunY, kTravelEnd);
    const double travelX = GetPropertyR8(StageObject.get(), StageMember::TravelX);
    const double travelY = GetPropertyR8(StageObject.get(), StageMember::TravelY);
    StageMoveTo(travelX * kCentre, travelY * kCentre);
    WaitForIdle(kFixedWait);
    StageSetOrigin();
    return 0;
}

int ReturnToOrigin() {
    if (!StageObject.IsBound()) {
        return 0;
    }
    WaitForIdle(StageTimeOut());
    StageMoveTo(0.0, 0.0);
    WaitForIdle(StageTimeOut());
    return 0;
}
} // namespace

extern "C" int WINAPI StgXYCommand(int command) {
    ExportTrace trace("StgXYCommand", command);
    return trace.Return(Guarded(kNotDone, [&] {
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
            return 0;
        }
    }));
}
