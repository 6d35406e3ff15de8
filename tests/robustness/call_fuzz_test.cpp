// Seeded random sequences of export calls, page calls included, with extreme
// arguments, null out-pointers and now and then an injected fault; invariants
// checked after every call. STOLVO_FUZZ_SEED and STOLVO_FUZZ_CALLS choose the
// first seed and the number of calls; each chunk of calls has its own seed,
// printed when it fails so that it can be replayed alone; STOLVO_FUZZ_TRACE=1
// prints every call as it is made.
#include <gtest/gtest.h>
#include "config_api.h"
#include "dialog_rig.h"
#include "driver_api.h"
#include "robust_support.h"
#include "core/filter_members.h"
#include "core/focus_members.h"
#include "core/scan_members.h"
#include "core/stage_members.h"
#include "ui/device_page.h"
#include "ui/stage_page.h"
#include <climits>
#include <cstdlib>
#include <cstring>
#include <random>

namespace {

constexpr long long kChunkCalls = 1500;
constexpr DWORD kFuzzTimeOut = 200; // XY time-out written for the run
constexpr DWORD kFocusWaitMs = 5000;

long long EnvNumber(const char* name, long long fallback) {
    const char* text = std::getenv(name);
    return text != nullptr && *text != '\0' ? std::strtoll(text, nullptr, 10) : fallback;
}

struct Chunk {
    unsigned seed;
    long long calls;
};

std::vector<Chunk> Chunks() {
    const long long total = EnvNumber("STOLVO_FUZZ_CALLS", 8 * kChunkCalls);
    const unsigned first = static_cast<unsigned>(EnvNumber("STOLVO_FUZZ_SEED", 1));
    std::vector<Chunk> chunks;
    for (long long done = 0; done < total; done += kChunkCalls) {
        chunks.push_back(
            {first + static_cast<unsigned>(chunks.size()), std::min(kChunkCalls, total - done)});
    }
    return chunks;
}

struct ConfigureApi {
    explicit ConfigureApi(const LoadedDriver& d) : driver(d) {}
    const LoadedDriver& driver;
    DRIVER_EXPORT(XY, StgXYConfigure);
    DRIVER_EXPORT(Z, StgZConfigure);
    DRIVER_EXPORT(Shutter, ShtrConfigure);
    DRIVER_EXPORT(Wheel, FWConfigure);
};

// Counts the calls of one chunk and keeps what the invariants need.
class Fuzzer {
  public:
    Fuzzer(const LoadedDriver& driver, HWND host, unsigned seed)
        : driver_(driver), host_(host), random_(seed) {}

    void Step() {
        const int pick = Below(100);
        if (pick < 3) {
            InjectFault();
        } else if (pick < 10) {
            CallPage();
        } else if (pick < 30) {
            CallXY();
        } else if (pick < 48) {
            CallFocus();
        } else if (pick < 68) {
            CallShutter();
        } else {
            CallWheel();
        }
        ++Figures().callsFuzzed;
        CheckInvariants();
    }

    // The host's closes and hides, after which nothing of the driver's is left
    // in the host window and no server object is held.
    void CloseEverything() {
        configure.XY(host_, 0, 0);
        configure.Z(host_, 0, 0);
        configure.Shutter(host_, 0, 0, 0);
        configure.Wheel(host_, 0, 0, 0);
        xy.Close();
        z.Close();
        for (int slot = 0; slot < 3; ++slot) {
            shutter.Close(slot);
        }
        for (int slot = 0; slot < 10; ++slot) {
            wheel.Close(slot);
        }
        PumpMessages();
    }

    std::string lastCall;

  private:
    int Below(int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); }
    bool Chance(int percent) { return Below(100) < percent; }
    int Number() {
        static const int extremes[] = {0,       1,           2,           3,       -1,
                                       9,       10,          11,          99,      INT_MIN,
                                       INT_MAX, INT_MAX - 1, INT_MIN + 1, 1 << 30, -(1 << 30)};
        switch (Below(4)) {
        case 0:
            return extremes[Below(sizeof extremes / sizeof extremes[0])];
        case 1:
            return static_cast<int>(random_());
        default:
            return Below(24) - 4;
        }
    }
    HWND Parent() {
        switch (Below(4)) {
        case 0:
            return reinterpret_cast<HWND>(0x12345);
        case 1:
            return nullptr;
        default:
            return host_;
        }
    }
    int Mode() { return Chance(50) ? Below(4) : Number(); }
    void Note(const char* name, long long a = 0, long long b = 0, long long c = 0) {
        char text[128];
        std::snprintf(text, sizeof text, "%s(%lld, %lld, %lld)", name, a, b, c);
        lastCall = text;
        if (trace_) {
            std::fprintf(stderr, "%lu %s\n", GetTickCount(), text);
        }
    }

    void InjectFault() {
        // Every member's DISPID but the busy poll's and the runs', in rising order (a seed
        // replays the same faults), faulted on any object: where that object has no such
        // member, no call meets the fault.
        static const ServerMember* const members[] = {
            &ScanMember::OpenPort,   &ScanMember::ScanCommand,   &FilterMember::WheelPositionCount,
            &ScanMember::SetShutter, &ScanMember::LinkValue,     &FilterMember::HomeWheel,
            &FocusMember::Position,  &FocusMember::StepNegative, &FocusMember::StepPositive,
            &FocusMember::MoveTo,    &StageMember::GetXY,        &ScanMember::ClosePort,
            &StageMember::StepY,     &StageMember::StepX,        &StageMember::MoveXY,
            &StageMember::SetXY};
        static const HRESULT results[] = {
            S_OK, S_OK, E_FAIL, DISP_E_EXCEPTION, RPC_E_DISCONNECTED, DISP_E_TYPEMISMATCH};
        const int object = Below(4);
        const int dispid = members[Below(sizeof members / sizeof members[0])]->dispid;
        const HRESULT hr = results[Below(sizeof results / sizeof results[0])];
        Note("SimSetFault", object, dispid, hr);
        Sim().SetFault(object, dispid, hr);
        if (Chance(20)) {
            Sim().SetOpenablePorts(Chance(50) ? 0 : 0x1F);
        }
        if (Chance(20)) {
            Sim().SetWheelPositionCount(1 + Below(3), Chance(50) ? 10 : Number());
        }
    }

    void CallPage() {
        const HWND parent = Parent();
        const int top = Number();
        const int mode = Mode();
        switch (Below(4)) {
        case 0:
            Note("StgXYConfigure", reinterpret_cast<INT_PTR>(parent), top, mode);
            configure.XY(parent, top, mode);
            break;
        case 1:
            Note("StgZConfigure", reinterpret_cast<INT_PTR>(parent), top, mode);
            configure.Z(parent, top, mode);
            break;
        case 2: {
            const int slot = Number();
            Note("ShtrConfigure", slot, top, mode);
            configure.Shutter(parent, slot, top, mode);
            break;
        }
        default: {
            const int slot = Number();
            Note("FWConfigure", slot, top, mode);
            configure.Wheel(parent, slot, top, mode);
            break;
        }
        }
        PumpMessages();
    }

    void CallXY() {
        const int a = Number();
        const int b = Number();
        int x = 0;
        int y = 0;
        double cx = 0;
        double cy = 0;
        const bool null = Chance(30);
        switch (Below(14)) {
        case 0:
            Note("StgXYInit");
            Expect(xy.Init(nullptr), {0, -1, -2});
            break;
        case 1:
            Note("StgXYClose");
            Expect(xy.Close(), {0});
            break;
        case 2:
            Note("StgXYMove", a, b);
            Expect(Timed(kFuzzTimeOut, [&] { return xy.Move(a, b, Below(2)); }), {0, 1});
            break;
        case 3:
            Note("StgXYReport", null);
            Expect(xy.Report(null ? nullptr : &x, null ? nullptr : &y), {0, 1});
            break;
        case 4:
            Note("StgXYStep", a, b);
            Expect(Timed(2 * kFuzzTimeOut, [&] { return xy.Step(a, b); }), {0, 1});
            break;
        case 5:
            Note("StgXStep", a);
            Expect(Timed(kFuzzTimeOut, [&] { return xy.XStep(a); }), {0, 1});
            break;
        case 6:
            Note("StgYStep", a);
            Expect(Timed(kFuzzTimeOut, [&] { return xy.YStep(a); }), {0, 1});
            break;
        case 7:
            Note("StgXYOrigin");
            Expect(xy.Origin(), {0, 1});
            break;
        case 8:
            Note("StgXYSetSpeed", a);
            Expect(xy.SetSpeed(a), {0, 1});
            break;
        case 9:
            Note("StgXYCommand", a);
            Expect(Timed(kFuzzTimeOut, [&] { return xy.Command(a); }), {0, 1});
            break;
        case 10:
            Note("StgXYCalib", null);
            Expect(xy.Calib(null ? nullptr : &cx, null ? nullptr : &cy), {0});
            break;
        case 11:
            Note("StgXYType", null);
            Expect(xy.Type(null ? nullptr : &x), {0});
            break;
        case 12:
            Note("StgXStepSize", a);
            Expect(xy.XStepSize(a), {0, 1});
            break;
        default:
            Note("StgYStepSize", a);
            Expect(xy.YStepSize(a), {0, 1});
            break;
        }
    }

    void CallFocus() {
        const int a = Number();
        int value = 0;
        double step = 0;
        const bool null = Chance(30);
        int pick = Below(11);
        // Without the link a focus motion always waits its full five seconds
        // (nothing answers the busy poll): such waits are checked, but rarely.
        if ((pick == 2 || pick == 4) && ReadLinkState(driver_).connected != 1 && !Chance(2)) {
            pick = 3;
        }
        switch (pick) {
        case 0:
            Note("StgZInit");
            Expect(z.Init(nullptr), {0, 1, -1});
            break;
        case 1:
            Note("StgZClose");
            Expect(z.Close(), {0});
            break;
        case 2:
            Note("StgZMove", a);
            Expect(Timed(kFocusWaitMs, [&] { return z.Move(a, Number()); }), {0, 1});
            break;
        case 3:
            Note("StgZReport", null);
            Expect(z.Report(null ? nullptr : &value), {0, 1});
            break;
        case 4:
            Note("StgZStep", a);
            Expect(Timed(kFocusWaitMs, [&] { return z.Step(a); }), {0, 1});
            break;
        case 5:
            Note("StgZOrigin");
            Expect(z.Origin(), {0, 1});
            break;
        case 6:
            Note("StgZCalib", null);
            Expect(z.Calib(null ? nullptr : &step), {0});
            break;
        case 7:
            Note("StgZType", null);
            Expect(z.Type(null ? nullptr : &value), {0});
            break;
        case 8:
            Note("StgZSetSpeed", a);
            Expect(z.SetSpeed(a), {1});
            break;
        case 9:
            Note("StgZStepSize", a);
            Expect(z.StepSize(a), {0});
            break;
        default:
            Note("StgZCanAutoFocus");
            Expect(z.CanAutoFocus(), {0, 1});
            break;
        }
    }

    void CallShutter() {
        const int slot = Chance(70) ? Below(4) : Number();
        char name[64];
        const bool null = Chance(30);
        switch (Below(6)) {
        case 0:
            Note("ShtrGetInstance", slot);
            Expect(shutter.GetInstance(slot), {0, 1, 2, -5});
            break;
        case 1:
            Note("ShtrInit", slot);
            Expect(shutter.Init(slot, nullptr), {0, 1, -1, -2, -5});
            break;
        case 2:
            Note("ShtrClose", slot);
            Expect(shutter.Close(slot), {0});
            break;
        case 3:
            Note("ShtrGetName", slot, null);
            std::memset(name, 0x5A, sizeof name);
            Expect(shutter.GetName(slot, null ? nullptr : name), {0, -5});
            CheckName(name, null);
            break;
        case 4: {
            const int state = Chance(80) ? Below(2) : Number();
            Note("ShtrSetOpen", slot, state);
            Expect(shutter.SetOpen(slot, state), {0, 1, -5});
            break;
        }
        default:
            Note("ShtrGetOpen", slot);
            shutter.GetOpen(slot);
            break;
        }
    }

    void CallWheel() {
        const int slot = Chance(70) ? Below(5) : Number();
        const int position = Chance(70) ? Below(12) - 1 : Number();
        char name[64];
        const bool null = Chance(30);
        switch (Below(7)) {
        case 0:
            Note("FWGetInstance", slot);
            Expect(wheel.GetInstance(slot), {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, -5});
            break;
        case 1:
            Note("FWInit", slot);
            Expect(wheel.Init(slot, nullptr), {0, 1, -1, -2, -5});
            break;
        case 2:
            Note("FWClose", slot);
            Expect(wheel.Close(slot), {0});
            break;
        case 3:
            Note("FWGetCount", slot);
            wheel.GetCount(slot);
            break;
        case 4: {
            Note("FWGetName", slot, position, null);
            std::memset(name, 0x5A, sizeof name);
            const int code = wheel.GetName(slot, position, null ? nullptr : name);
            Expect(code, {0, -5, -6});
            Invariant(code != 0 || position < kMaxWheelPositions,
                      "names exist for the first ten positions only");
            CheckName(name, null);
            break;
        }
        case 5: {
            Note("FWSetPosition", slot, position);
            const int code = wheel.SetPosition(slot, position);
            Expect(code, {0, 1, -5, -6});
            if (code == 0) {
                Invariant(wheel.GetPosition(slot) == position,
                          "a turned wheel reports its position");
            }
            break;
        }
        default:
            Note("FWGetPosition", slot);
            wheel.GetPosition(slot);
            break;
        }
    }

    void Expect(int code, std::initializer_list<int> allowed) {
        bool found = false;
        for (int a : allowed) {
            found = found || a == code;
        }
        Invariant(found, "a documented code");
    }
    // A name given back ends within its 60 bytes and nothing beyond them is
    // touched; a null pointer is not written through, so the buffer is untouched.
    void CheckName(const char* name, bool null) {
        if (null) {
            Invariant(name[0] == 0x5A, "a null name pointer is not written through");
            return;
        }
        Invariant(name[0] == 0x5A || std::memchr(name, '\0', kNameSize) != nullptr,
                  "a name ends within its field");
        Invariant(name[60] == 0x5A && name[63] == 0x5A, "nothing written beyond the field");
    }

    void CheckInvariants() {
        const DeviceRosterTable roster = probe.Roster();
        Invariant(roster.shutterCount >= 0 && roster.shutterCount <= 3, "shutterCount 0..3");
        Invariant(roster.wheelCount >= 0 && roster.wheelCount <= 10, "wheelCount 0..10");
        Invariant(RosterNamesTerminated(roster), "roster names end within their fields");
        for (const WheelEntry& w : roster.wheels) {
            // The controller reports a 16-bit count; the page offers 6, 8 or 10.
            Invariant(w.positionCount >= -32768 && w.positionCount <= 32767,
                      "a position count the page or the controller gave");
        }
        const LinkState link = ReadLinkState(driver_);
        Invariant(link.connected == 0 || (link.connected == 1 && Sim().IsLinkOpen()),
                  "Connected means the link is open");
        Invariant(link.stageClientOpen == 0 || link.stageClientOpen == 1, "stage holder flag");
        Invariant(link.deviceClientOpen == 0 || link.deviceClientOpen == 1, "device holder flag");
    }

    void Invariant(bool holds, const char* what) {
        ++Figures().invariantsChecked;
        EXPECT_TRUE(holds) << what << " after " << lastCall;
    }

    const LoadedDriver& driver_;
    HWND host_;
    // STOLVO_FUZZ_TRACE=1 prints each call before it is made, to find where a replay hangs.
    const bool trace_ = EnvNumber("STOLVO_FUZZ_TRACE", 0) != 0;
    std::mt19937 random_;
    ConfigProbe probe{driver_};
    XYApi xy{driver_};
    FocusApi z{driver_};
    ShutterApi shutter{driver_};
    WheelApi wheel{driver_};
    ConfigureApi configure{driver_};
};

// Top-level windows of this thread still shown: message boxes nobody closed.
BOOL CALLBACK CountShown(HWND window, LPARAM count) {
    if (IsWindowVisible(window)) {
        char name[32] = "";
        GetClassNameA(window, name, sizeof name);
        if (std::strcmp(name, "#32770") == 0) {
            ++*reinterpret_cast<int*>(count);
        }
    }
    return TRUE;
}

BOOL CALLBACK CountChild(HWND, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

class CallFuzz : public ::testing::TestWithParam<Chunk> {};

TEST_P(CallFuzz, InvariantsHoldAfterEveryCall) {
    const Chunk chunk = GetParam();
    Sim().Reset();
    const int failuresBefore = ::testing::UnitTest::GetInstance()->failed_test_count();
    {
        LoadedDriver driver{"STolvo32Probe.dll"};
        HostWindow host;
        DialogAnswerer answers;
        driver.SetIni("Port", "0");
        driver.SetIni("TimeOut", std::to_string(kFuzzTimeOut).c_str());
        driver.SetIni("DefaultAll", chunk.seed % 2 == 0 ? "0" : "1");
        if (chunk.seed % 3 == 0) {
            driver.SetFileKey("KROHW.INI", "Focus", "Module", "STolvo32.dll");
        }
        for (int slot = 1; slot <= 2; ++slot) {
            const std::string section = "Shutter" + std::to_string(slot);
            driver.SetIni("Name", ("Shutter " + std::to_string(slot)).c_str(), section.c_str());
            driver.SetIni("ShutterNumber", std::to_string(slot).c_str(), section.c_str());
        }
        driver.SetIni("Name", "Cubes", "FilterWheel1");
        driver.SetIni("NumberPositions", "8", "FilterWheel1");
        driver.SetFileKey("Cubes.TolvoFW", "FilterWheel1", "Position1Name", "DAPI");
        Fuzzer fuzzer(driver, host.get(), chunk.seed);
        for (long long i = 0; i < chunk.calls; ++i) {
            try {
                fuzzer.Step();
            } catch (...) {
                ++Figures().crashes;
                ADD_FAILURE() << "an exception left the driver at " << fuzzer.lastCall;
            }
        }
        fuzzer.CloseEverything();
        int children = 0;
        EnumChildWindows(host.get(), CountChild, reinterpret_cast<LPARAM>(&children));
        EXPECT_EQ(children, 0) << "a page outlived the host's hide calls";
        int shown = 0;
        EnumThreadWindows(GetCurrentThreadId(), CountShown, reinterpret_cast<LPARAM>(&shown));
        EXPECT_EQ(shown, 0) << "a message box was left open";
        Sim().Reset();
        EXPECT_EQ(LeakedAfterUnload(driver), 0);
    }
    if (::testing::UnitTest::GetInstance()->failed_test_count() != failuresBefore ||
        ::testing::Test::HasFailure()) {
        std::printf("replay: STOLVO_FUZZ_SEED=%u STOLVO_FUZZ_CALLS=%lld\n", chunk.seed,
                    chunk.calls);
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, CallFuzz, ::testing::ValuesIn(Chunks()),
                         [](const ::testing::TestParamInfo<Chunk>& info) {
                             return "seed" + std::to_string(info.param.seed);
                         });
} // namespace
