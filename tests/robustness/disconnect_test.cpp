// TolvoSimServer.exe cuts its clients off in the middle of a session, as a
// real automation server does with CoDisconnectObject when it shuts down under
// them: the driver's proxies then answer RPC_E_DISCONNECTED or
// CO_E_OBJNOTCONNECTED. Every operation of each family must fail promptly
// with its not-done code, a waited move must end, the closes must succeed and
// give everything back, and a new init must work against a new server.
#include <gtest/gtest.h>
#include "driver_api.h"
#include "sim_server.h"
#include "sim/local_server/control_members.h"
#include <objbase.h>
#include <oleauto.h>
#include <tlhelp32.h>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <thread>

namespace {

// A server whose last client let go ends well within this.
constexpr DWORD kServerEndMs = 10000;
// An export facing objects that were cut off answers well within this: a
// fifth of the shortest wait of the families (focus and the fixed XY
// commands, 5 s), a sixtieth of the XY move's wait (60 s).
constexpr double kPromptMs = 1000.0;
constexpr UINT kKilledCode = 77;
// The wait below is on a move of 2000 units at 100 units per second: 20 s.
constexpr double kSlowSpeed = 100.0;
constexpr int kLongMove = 2000;
constexpr DWORD kCutAfterMs = 500;

double NowMs() {
    LARGE_INTEGER frequency;
    LARGE_INTEGER now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// Processes of the prefix running `name`.
int RunningProcesses(const wchar_t* name) {
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return -1;
    }
    int count = 0;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry)) {
        if (CompareStringOrdinal(entry.szExeFile, -1, name, -1, TRUE) == CSTR_EQUAL) {
            ++count;
        }
    }
    CloseHandle(snapshot);
    return count;
}

// Waits up to `timeoutMs` for the last process running `name` to go.
int RunningAfterWait(const wchar_t* name, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    int running = RunningProcesses(name);
    while (running != 0 && GetTickCount() - start < timeoutMs) {
        Sleep(100);
        running = RunningProcesses(name);
    }
    return running;
}

// Runs the exports of one family after the cut and checks each answer and how
// long it took; the figures are printed for the family.
class CutOffCalls {
  public:
    explicit CutOffCalls(const char* family) : family_(family) {}
    CutOffCalls(const CutOffCalls&) = delete;
    CutOffCalls& operator=(const CutOffCalls&) = delete;

    template <typename Call> void Expect(const char* what, int expected, Call&& call) {
        const double start = NowMs();
        const int result = call();
        const double took = NowMs() - start;
        EXPECT_EQ(result, expected) << family_ << ": " << what;
        EXPECT_LT(took, kPromptMs) << family_ << ": " << what << " took " << took << " ms";
        if (took > longestMs_) {
            longestMs_ = took;
            longest_ = what;
        }
        totalMs_ += took;
        ++calls_;
    }

    void Print() const {
        std::printf("[ cut off  ] %s: %d exports after the disconnect, %.1f ms in all, longest "
                    "%.1f ms (%s)\n",
                    family_, calls_, totalMs_, longestMs_, longest_);
    }

  private:
    const char* family_;
    int calls_ = 0;
    double totalMs_ = 0.0;
    double longestMs_ = 0.0;
    const char* longest_ = "none";
};

// One loaded copy of the driver with its families' exports and the settings
// each family's init needs.
struct Session {
    Session() { WriteEveryFamilySettings(driver); }

    LoadedDriver driver{"STolvo32.dll"};
    XYApi xy{driver};
    FocusApi z{driver};
    ShutterApi shutter{driver};
    WheelApi wheel{driver};
};

class DisconnectTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(RegisterLocalServer());
        session = std::make_unique<Session>();
    }

    // Also after a failure: the driver and the control objects let go, every
    // server this test reached ends, none is left in the prefix, and the
    // prefix gets TolvoSim.dll back.
    void TearDown() override {
        session.reset();
        server.Disconnect();
        reached_.ExpectAllEnded(kServerEndMs, kKilledCode);
        EXPECT_EQ(RunningAfterWait(L"TolvoSimServer.exe", kServerEndMs), 0);
        EXPECT_EQ(RunningAfterWait(L"dllhost.exe", kServerEndMs), 0);
        EXPECT_TRUE(RestoreInProcessServer());
    }

    // Connects the control object, notes the server's process and returns it.
    ServerProcess* ConnectServer() { return reached_.Connect(server); }

    // Cuts the clients off the objects the session bound: all of the server's
    // controller objects, and only the clients held them.
    void CutOff() {
        const int bound = server.LiveObjects();
        ASSERT_GT(bound, 0);
        EXPECT_EQ(server.DisconnectObjects(), bound);
        EXPECT_EQ(server.LiveObjects(), 0) << "the server let go of what it cut off";
        EXPECT_EQ(server.OutstandingRefs(), 0);
    }

    // After the closes: the driver unloaded, the cut-off server holds nothing
    // and ends when its control object goes.
    void EndFirstServer(ServerProcess* first) {
        session->driver.Unload();
        EXPECT_EQ(server.LiveObjects(), 0);
        EXPECT_EQ(server.OutstandingRefs(), 0);
        server.Disconnect();
        EXPECT_TRUE(first->WaitForEnd(kServerEndMs)) << "the server ends once nothing is in use";
        EXPECT_EQ(first->ExitCode(), 0u);
    }

    std::unique_ptr<Session> session;
    SimServer server;

  private:
    ReachedServers reached_;
};

TEST_F(DisconnectTest, XYStageCutOffBetweenCalls) {
    ServerProcess* first = ConnectServer();
    ASSERT_NE(first, nullptr);
    const DWORD firstId = server.ProcessId();
    XYApi& xy = session->xy;
    ASSERT_EQ(xy.Init(nullptr), 0);
    ASSERT_EQ(xy.Move(100, 200, 1), 0);
    int x = 0;
    int y = 0;
    ASSERT_EQ(xy.Report(&x, &y), 0);
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 200);

    CutOff();
    CutOffCalls calls("XY");
    x = 123;
    y = 456;
    calls.Expect("StgXYReport", 1, [&] { return xy.Report(&x, &y); });
    EXPECT_EQ(x, 123) << "out untouched";
    EXPECT_EQ(y, 456);
    calls.Expect("StgXYMove no wait", 1, [&] { return xy.Move(10, 10, 0); });
    calls.Expect("StgXYMove wait", 1, [&] { return xy.Move(20, 20, 1); });
    calls.Expect("StgXYStep", 1, [&] { return xy.Step(5, 5); });
    calls.Expect("StgXStep", 1, [&] { return xy.XStep(5); });
    calls.Expect("StgYStep", 1, [&] { return xy.YStep(-5); });
    calls.Expect("StgXYOrigin", 1, [&] { return xy.Origin(); });
    calls.Expect("StgXYSetSpeed", 1, [&] { return xy.SetSpeed(50); });
    for (int command = 0; command <= 4; ++command) {
        const std::string what = "StgXYCommand " + std::to_string(command);
        calls.Expect(what.c_str(), 1, [&] { return xy.Command(command); });
    }
    calls.Expect("StgXYClose", 0, [&] { return xy.Close(); });
    calls.Print();
    EndFirstServer(first);

    session = std::make_unique<Session>();
    ASSERT_EQ(session->xy.Init(nullptr), 0) << "COM starts a new server";
    ASSERT_NE(ConnectServer(), nullptr);
    EXPECT_NE(server.ProcessId(), firstId);
    server.SetStagePosition(-300.0, 40.0);
    EXPECT_EQ(session->xy.Report(&x, &y), 0);
    EXPECT_EQ(x, -300);
    EXPECT_EQ(y, 40);
    EXPECT_EQ(session->xy.Close(), 0);
    session->driver.Unload();
    EXPECT_EQ(server.LiveObjects(), 0);
}

TEST_F(DisconnectTest, FocusCutOffBetweenCalls) {
    ServerProcess* first = ConnectServer();
    ASSERT_NE(first, nullptr);
    const DWORD firstId = server.ProcessId();
    // The focus on the stage path: it joins the link the XY stage opened.
    FocusApi& z = session->z;
    ASSERT_EQ(session->xy.Init(nullptr), 0);
    ASSERT_EQ(z.Init(nullptr), 0);
    ASSERT_EQ(z.Move(500, 0), 0);
    int position = 0;
    ASSERT_EQ(z.Report(&position), 0);
    EXPECT_EQ(position, 500);

    CutOff();
    CutOffCalls calls("focus");
    position = 99;
    calls.Expect("StgZReport", 1, [&] { return z.Report(&position); });
    EXPECT_EQ(position, 99) << "out untouched";
    calls.Expect("StgZMove", 1, [&] { return z.Move(10, 0); });
    calls.Expect("StgZStep up", 1, [&] { return z.Step(3); });
    calls.Expect("StgZStep down", 1, [&] { return z.Step(-3); });
    calls.Expect("StgZOrigin", 1, [&] { return z.Origin(); });
    calls.Expect("StgZClose", 0, [&] { return z.Close(); });
    calls.Expect("StgXYClose", 0, [&] { return session->xy.Close(); });
    calls.Print();
    EndFirstServer(first);

    session = std::make_unique<Session>();
    ASSERT_EQ(session->xy.Init(nullptr), 0) << "COM starts a new server";
    ASSERT_EQ(session->z.Init(nullptr), 0);
    ASSERT_NE(ConnectServer(), nullptr);
    EXPECT_NE(server.ProcessId(), firstId);
    EXPECT_EQ(session->z.Move(250, 0), 0);
    EXPECT_DOUBLE_EQ(server.FocusPosition(), 250.0);
    EXPECT_EQ(session->z.Close(), 0);
    EXPECT_EQ(session->xy.Close(), 0);
    session->driver.Unload();
    EXPECT_EQ(server.LiveObjects(), 0);
}

TEST_F(DisconnectTest, ShutterCutOffBetweenCalls) {
    ServerProcess* first = ConnectServer();
    ASSERT_NE(first, nullptr);
    const DWORD firstId = server.ProcessId();
    ShutterApi& shutter = session->shutter;
    ASSERT_EQ(shutter.GetInstance(0), 0);
    ASSERT_EQ(shutter.Init(0, nullptr), 0);
    ASSERT_EQ(shutter.SetOpen(0, 1), 0);
    EXPECT_EQ(server.ShutterState(1), 1);

    CutOff();
    CutOffCalls calls("shutter");
    calls.Expect("ShtrSetOpen closed", 1, [&] { return shutter.SetOpen(0, 0); });
    EXPECT_EQ(shutter.GetOpen(0), 1) << "a refused call leaves the recorded state";
    calls.Expect("ShtrSetOpen closed again", 1, [&] { return shutter.SetOpen(0, 0); });
    // The recorded state asked for again sends nothing, so nothing can fail.
    EXPECT_EQ(shutter.SetOpen(0, 1), 0);
    calls.Expect("ShtrClose", 0, [&] { return shutter.Close(0); });
    calls.Print();
    EndFirstServer(first);

    session = std::make_unique<Session>();
    ASSERT_EQ(session->shutter.GetInstance(0), 0);
    ASSERT_EQ(session->shutter.Init(0, nullptr), 0) << "COM starts a new server";
    ASSERT_NE(ConnectServer(), nullptr);
    EXPECT_NE(server.ProcessId(), firstId);
    EXPECT_EQ(session->shutter.SetOpen(0, 1), 0);
    EXPECT_EQ(server.ShutterState(1), 1);
    EXPECT_EQ(session->shutter.Close(0), 0);
    session->driver.Unload();
    EXPECT_EQ(server.LiveObjects(), 0);
}

TEST_F(DisconnectTest, FilterWheelCutOffBetweenCalls) {
    ServerProcess* first = ConnectServer();
    ASSERT_NE(first, nullptr);
    const DWORD firstId = server.ProcessId();
    WheelApi& wheel = session->wheel;
    ASSERT_EQ(wheel.GetInstance(0), 0);
    ASSERT_EQ(wheel.Init(0, nullptr), 0);
    ASSERT_EQ(wheel.SetPosition(0, 3), 0);
    EXPECT_EQ(server.WheelPosition(1), 4);

    CutOff();
    CutOffCalls calls("filter wheel");
    calls.Expect("FWSetPosition", 1, [&] { return wheel.SetPosition(0, 5); });
    EXPECT_EQ(wheel.GetPosition(0), 3) << "a refused turn records nothing";
    EXPECT_EQ(wheel.GetCount(0), 10) << "the stored count stands";
    calls.Expect("FWSetPosition again", 1, [&] { return wheel.SetPosition(0, 0); });
    calls.Expect("FWClose", 0, [&] { return wheel.Close(0); });
    calls.Print();
    EndFirstServer(first);

    session = std::make_unique<Session>();
    ASSERT_EQ(session->wheel.GetInstance(0), 0);
    ASSERT_EQ(session->wheel.Init(0, nullptr), 0) << "COM starts a new server";
    ASSERT_NE(ConnectServer(), nullptr);
    EXPECT_NE(server.ProcessId(), firstId);
    EXPECT_EQ(session->wheel.SetPosition(0, 6), 0);
    EXPECT_EQ(server.WheelPosition(1), 7);
    EXPECT_EQ(session->wheel.Close(0), 0);
    session->driver.Unload();
    EXPECT_EQ(server.LiveObjects(), 0);
}

// Every family open on one server, cut off at once.
TEST_F(DisconnectTest, EveryFamilyCutOffAtOnce) {
    ServerProcess* first = ConnectServer();
    ASSERT_NE(first, nullptr);
    Session& s = *session;
    ASSERT_EQ(s.xy.Init(nullptr), 0);
    ASSERT_EQ(s.z.Init(nullptr), 0);
    ASSERT_EQ(s.shutter.GetInstance(0), 0);
    ASSERT_EQ(s.shutter.Init(0, nullptr), 0);
    ASSERT_EQ(s.wheel.GetInstance(0), 0);
    ASSERT_EQ(s.wheel.Init(0, nullptr), 0);
    EXPECT_EQ(server.LiveObjects(), 4) << "scan, stage, focus and filter";

    CutOff();
    CutOffCalls calls("every family");
    int x = 0;
    int y = 0;
    calls.Expect("StgXYReport", 1, [&] { return s.xy.Report(&x, &y); });
    calls.Expect("StgXYMove wait", 1, [&] { return s.xy.Move(10, 10, 1); });
    calls.Expect("StgZMove", 1, [&] { return s.z.Move(10, 0); });
    calls.Expect("StgZReport", 1, [&] { return s.z.Report(&x); });
    calls.Expect("ShtrSetOpen", 1, [&] { return s.shutter.SetOpen(0, 1); });
    calls.Expect("FWSetPosition", 1, [&] { return s.wheel.SetPosition(0, 5); });
    calls.Expect("FWClose", 0, [&] { return s.wheel.Close(0); });
    calls.Expect("ShtrClose", 0, [&] { return s.shutter.Close(0); });
    calls.Expect("StgZClose", 0, [&] { return s.z.Close(); });
    calls.Expect("StgXYClose", 0, [&] { return s.xy.Close(); });
    calls.Print();
    EndFirstServer(first);
}

// The cut comes from another thread while StgXYMove waits for a 20 s move: the
// wait sees the server gone and ends, far within its 60 s time-out.
TEST_F(DisconnectTest, WaitedXYMoveEndsWhenCutOff) {
    ServerProcess* first = ConnectServer();
    ASSERT_NE(first, nullptr);
    XYApi& xy = session->xy;
    ASSERT_EQ(xy.Init(nullptr), 0);
    server.SetBusyPolls(-1);
    server.SetMotionSpeed(kSlowSpeed);
    const int bound = server.LiveObjects();
    ASSERT_EQ(bound, 2) << "scan and stage";

    // The control object's proxy belongs to this thread's apartment; the
    // cutting thread gets its own.
    IStream* stream = nullptr;
    ASSERT_EQ(CoMarshalInterThreadInterfaceInStream(IID_IDispatch, server.control().Get(), &stream),
              S_OK);
    HRESULT cutResult = E_UNEXPECTED;
    LONG cutCount = -1;
    double cutAt = 0.0;
    std::thread cutter([&] {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        IDispatch* control = nullptr;
        if (SUCCEEDED(CoGetInterfaceAndReleaseStream(stream, IID_IDispatch,
                                                     reinterpret_cast<void**>(&control)))) {
            Sleep(kCutAfterMs);
            VARIANT result;
            VariantInit(&result);
            cutAt = NowMs();
            cutResult = InvokeMember(control, ControlMember::DisconnectObjects, {}, &result);
            if (result.vt == VT_I4) {
                cutCount = result.lVal;
            }
            VariantClear(&result);
            control->Release();
        }
        CoUninitialize();
    });
    const double start = NowMs();
    const int moved = xy.Move(kLongMove, 0, 1);
    const double end = NowMs();
    cutter.join();
    EXPECT_EQ(cutResult, S_OK);
    EXPECT_EQ(cutCount, bound);
    EXPECT_EQ(moved, 0) << "the move was sent; a wait's outcome is not reported";
    EXPECT_GE(end - start, kCutAfterMs - 20.0) << "the wait was under way at the cut";
    EXPECT_LT(end - cutAt, kPromptMs) << "the wait ended with the objects";
    EXPECT_GT(server.BusyPollCount(), 1) << "the server answered busy before the cut";
    std::printf("[ cut off  ] StgXYMove with wait returned %.1f ms after its start and %.1f ms "
                "after the cut\n",
                end - start, end - cutAt);
    EXPECT_EQ(server.LiveObjects(), 0);

    CutOffCalls calls("XY after a waited move");
    int x = 1;
    int y = 2;
    calls.Expect("StgXYReport", 1, [&] { return xy.Report(&x, &y); });
    calls.Expect("StgXYMove wait", 1, [&] { return xy.Move(0, 0, 1); });
    calls.Expect("StgXYClose", 0, [&] { return xy.Close(); });
    calls.Print();
    EndFirstServer(first);
}
} // namespace
