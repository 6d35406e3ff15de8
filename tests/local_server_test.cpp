// The driver against the simulator served out of process by TolvoSimServer.exe:
// objects bound across processes, references given back, the server killed
// during a wait and between calls, and what a call across processes costs.
#include <gtest/gtest.h>
#include "driver_api.h"
#include "sim_server.h"
#include "xy_api.h"
#include "core/scan_members.h"
#include "core/stage_members.h"
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <thread>

using Microsoft::WRL::ComPtr;

namespace {
using Lines = std::vector<std::string>;

// A server whose last client let go ends well within this.
constexpr DWORD kServerEndMs = 10000;
// An export facing a dead server answers well within this; the XY wait's
// time-out is 60 s and the move below would last 20 s.
constexpr DWORD kPromptMs = 5000;
constexpr UINT kKilledCode = 77;

const wchar_t* const kControllerProgIds[] = {L"tolvo.scan", L"tolvo.stage", L"tolvo.Z",
                                             L"tolvo.filter"};

bool SamePath(const std::wstring& a, const std::string& b) {
    const std::wstring wide(b.begin(), b.end());
    return CompareStringOrdinal(a.c_str(), -1, wide.c_str(), -1, TRUE) == CSTR_EQUAL;
}

// The XY stage, the focus on the stage path, shutter 0 and wheel 0, all
// initialised on "COMM 1".
void OpenEveryFamily(const LoadedDriver& driver) {
    WriteEveryFamilySettings(driver);
    XYApi xy{driver};
    FocusApi z{driver};
    ShutterApi shutter{driver};
    WheelApi wheel{driver};
    ASSERT_EQ(xy.Init(nullptr), 0);
    ASSERT_EQ(z.Init(nullptr), 0);
    ASSERT_EQ(shutter.GetInstance(0), 0);
    ASSERT_EQ(shutter.Init(0, nullptr), 0);
    ASSERT_EQ(wheel.GetInstance(0), 0);
    ASSERT_EQ(wheel.Init(0, nullptr), 0);
}

// A host unloading the driver, run as a process of its own (this program
// again, with only UnloadingHost's test) so that an unload that hangs is ended
// from outside. The scenario and the file for the unload's duration come in
// these variables.
constexpr char kScenarioVariable[] = "STOLVO_UNLOAD_SCENARIO";
constexpr char kReportVariable[] = "STOLVO_UNLOAD_REPORT";
// A process's idle RPC threads have ended after this (about 6 s under Wine).
constexpr DWORD kIdleMs = 8000;
// The host process: start-up, the scenario, the idle time and the unload.
constexpr DWORD kHostEndMs = 40000;
// An unload that calls no other process takes milliseconds.
constexpr DWORD kPromptUnloadMs = 1000;

std::string Variable(const char* name) {
    char value[MAX_PATH] = "";
    const DWORD length = GetEnvironmentVariableA(name, value, MAX_PATH);
    return length > 0 && length < MAX_PATH ? value : "";
}

struct HostRun {
    int exitCode;  // -1: it did not end in time and was ended
    long unloadMs; // -1: no report
};

HostRun RunUnloadingHost(const char* scenario) {
    TempFolder folder;
    const std::string report = folder.path() + "\\unload.txt";
    SetEnvironmentVariableA(kScenarioVariable, scenario);
    SetEnvironmentVariableA(kReportVariable, report.c_str());
    char program[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    HostRun run{RunProgram(std::string("\"") + program +
                               "\" --gtest_filter=UnloadingHost.* --gtest_also_run_disabled_tests",
                           kHostEndMs),
                -1};
    SetEnvironmentVariableA(kScenarioVariable, nullptr);
    SetEnvironmentVariableA(kReportVariable, nullptr);
    std::ifstream(report) >> run.unloadMs;
    return run;
}

class LocalServerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(RegisterLocalServer());
        driver.SetIni("Port", "0");
    }

    // Also after a failure: the driver and the control object let go, every
    // server this test reached ends, and the prefix gets TolvoSim.dll back.
    void TearDown() override {
        driver.Unload();
        server.Disconnect();
        reached_.ExpectAllEnded(kServerEndMs, kKilledCode);
        EXPECT_TRUE(RestoreInProcessServer());
    }

    // Connects the control object, notes the server's process and returns it.
    ServerProcess* ConnectServer() { return reached_.Connect(server); }

    void OpenEveryFamily() { ::OpenEveryFamily(driver); }

    // During a waited move a second thread sends the host's window a message,
    // which COM dispatches inside the wait's status call; its handler closes
    // the XY stage, or every family.
    void CloseFromAHandlerDuringAWaitedMove(bool everyFamily);

    LoadedDriver driver{"STolvo32.dll"};
    XYApi xy{driver};
    FocusApi z{driver};
    ShutterApi shutter{driver};
    WheelApi wheel{driver};
    SimServer server;

  private:
    ReachedServers reached_;
};

// Time of `calls` runs of `call`, in microseconds per run.
template <typename Call> double MicrosecondsPerCall(int calls, Call call) {
    LARGE_INTEGER frequency;
    LARGE_INTEGER start;
    LARGE_INTEGER end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    for (int i = 0; i < calls; ++i) {
        call();
    }
    QueryPerformanceCounter(&end);
    return static_cast<double>(end.QuadPart - start.QuadPart) * 1e6 /
           static_cast<double>(frequency.QuadPart) / calls;
}
} // namespace

TEST_F(LocalServerTest, RegistrationSwitchesBetweenTheProgramAndTheModule) {
    for (const wchar_t* progId : kControllerProgIds) {
        EXPECT_TRUE(SamePath(RegisteredServer(progId, L"LocalServer32"),
                             BinDir() + "\\TolvoSimServer.exe"));
        EXPECT_EQ(RegisteredServer(progId, L"InprocServer32"), L"");
    }
    EXPECT_TRUE(SamePath(RegisteredServer(L"tolvo.simcontrol", L"LocalServer32"),
                         BinDir() + "\\TolvoSimServer.exe"));

    ASSERT_TRUE(RestoreInProcessServer());
    for (const wchar_t* progId : kControllerProgIds) {
        EXPECT_TRUE(
            SamePath(RegisteredServer(progId, L"InprocServer32"), BinDir() + "\\TolvoSim.dll"));
        EXPECT_EQ(RegisteredServer(progId, L"LocalServer32"), L"");
    }
    CLSID classId;
    EXPECT_TRUE(FAILED(CLSIDFromProgID(L"tolvo.simcontrol", &classId)))
        << "removed by /unregserver";
}

TEST_F(LocalServerTest, DriverWorksWithObjectsOfTheServerProcess) {
    ServerProcess* process = ConnectServer();
    ASSERT_NE(process, nullptr);
    EXPECT_NE(server.ProcessId(), GetCurrentProcessId());
    server.Reset();
    EXPECT_EQ(server.LiveObjects(), 0) << "the control object is not counted";

    ASSERT_EQ(xy.Init(nullptr), 0);
    EXPECT_EQ(server.LiveObjects(), 2) << "scan and stage live in the server";
    EXPECT_TRUE(server.IsLinkOpen());
    EXPECT_EQ(server.LastOpenedPort(), 1) << "COMM 1";
    EXPECT_EQ(server.Journal(),
              (Lines{"scan.OpenPort(&1)", "scan.LinkValue?", "scan.LinkReady()"}));

    server.ClearJournal();
    server.SetBusyPolls(3);
    EXPECT_EQ(xy.Move(1000, -250, 1), 0);
    EXPECT_EQ(server.StagePosition(), std::make_pair(1000.0, -250.0));
    EXPECT_EQ(server.BusyPollCount(), 4) << "three busy answers, then idle";
    int x = 0;
    int y = 0;
    EXPECT_EQ(xy.Report(&x, &y), 0);
    EXPECT_EQ(x, 1000);
    EXPECT_EQ(y, -250);
    EXPECT_EQ(server.Journal(), (Lines{"stage.MoveXY(1000,-250)", "wait", "stage.GetXY(&0,&0)"}));

    server.ClearJournal();
    EXPECT_EQ(xy.Close(), 0);
    EXPECT_EQ(server.Journal(), (Lines{"scan.ClosePort()"}));
    EXPECT_FALSE(server.IsLinkOpen());
    EXPECT_EQ(server.LiveObjects(), 0) << "every object given back";
    EXPECT_EQ(server.OutstandingRefs(), 0);

    server.Disconnect();
    EXPECT_TRUE(process->WaitForEnd(kServerEndMs)) << "the server ends once nothing is in use";
    EXPECT_EQ(process->ExitCode(), 0u);
}

// A server that answers in other types, busy and the position in place of the
// references among them: the marshaller hands the converted arguments back,
// and the driver takes the answers from there.
TEST_F(LocalServerTest, DriverConvertsOtherTypesAcrossProcesses) {
    ASSERT_NE(ConnectServer(), nullptr);
    server.Reset();
    server.SetVariant(SimOtherTypes);
    OpenEveryFamily();
    server.SetBusyPolls(3);
    EXPECT_EQ(xy.Move(1000, -250, 1), 0);
    EXPECT_EQ(server.BusyPollCount(), 4) << "the idle answer arrived as VT_I2 and was seen";
    int x = 0;
    int y = 0;
    EXPECT_EQ(xy.Report(&x, &y), 0);
    EXPECT_EQ(std::make_pair(x, y), std::make_pair(1000, -250));
    EXPECT_EQ(z.Move(300, 0), 0);
    int position = 0;
    EXPECT_EQ(z.Report(&position), 0);
    EXPECT_EQ(position, 300);
    EXPECT_EQ(wheel.GetCount(0), 10);
    // Every family closed: an unload leaves a server's proxies to COM.
    EXPECT_EQ(wheel.Close(0), 0);
    EXPECT_EQ(shutter.Close(0), 0);
    EXPECT_EQ(z.Close(), 0);
    EXPECT_EQ(xy.Close(), 0);
    EXPECT_EQ(server.LiveObjects(), 0);
}

TEST_F(LocalServerTest, FocusShutterAndWheelAcrossProcesses) {
    ASSERT_NE(ConnectServer(), nullptr);
    server.Reset();
    OpenEveryFamily();
    EXPECT_EQ(server.LiveObjects(), 4) << "scan, stage, focus and filter in one server";

    EXPECT_EQ(z.Move(500, 0), 0);
    EXPECT_DOUBLE_EQ(server.FocusPosition(), 500.0);
    EXPECT_EQ(shutter.SetOpen(0, 1), 0);
    EXPECT_EQ(server.ShutterState(1), 1);
    EXPECT_EQ(wheel.SetPosition(0, 3), 0);
    EXPECT_EQ(server.WheelPosition(1), 4);

    EXPECT_EQ(wheel.Close(0), 0);
    EXPECT_EQ(shutter.Close(0), 0);
    EXPECT_EQ(z.Close(), 0);
    EXPECT_EQ(xy.Close(), 0);
    EXPECT_EQ(server.LiveObjects(), 0);
    EXPECT_EQ(server.OutstandingRefs(), 0);
}

TEST_F(LocalServerTest, ServerKilledDuringAWaitedMove) {
    ServerProcess* killed = ConnectServer();
    ASSERT_NE(killed, nullptr);
    const DWORD killedId = server.ProcessId();
    server.Reset();
    ASSERT_EQ(xy.Init(nullptr), 0);
    // So that the kill leaves no registration of this process with COM.
    server.WithdrawClasses();
    // A move of 2000 units at 100 units per second lasts 20 s.
    server.SetBusyPolls(-1);
    server.SetMotionSpeed(100.0);

    constexpr DWORD kKillAfterMs = 500;
    std::thread killer([&] {
        Sleep(kKillAfterMs);
        killed->Kill(kKilledCode);
    });
    const DWORD start = GetTickCount();
    const int moved = xy.Move(2000, 0, 1);
    const DWORD elapsed = GetTickCount() - start;
    killer.join();
    EXPECT_EQ(moved, 0) << "the move was sent; a wait's outcome is not reported";
    EXPECT_GE(elapsed, kKillAfterMs - 20) << "the wait was under way when the server died";
    EXPECT_LT(elapsed, kPromptMs) << "the wait ended with the server";
    std::printf("[ kill     ] StgXYMove with wait returned %lu ms after its start, the server "
                "killed at %lu ms\n",
                elapsed, kKillAfterMs);
    ASSERT_TRUE(killed->WaitForEnd(kServerEndMs));
    EXPECT_EQ(killed->ExitCode(), kKilledCode);
    server.Disconnect();

    const DWORD afterStart = GetTickCount();
    int x = 123;
    int y = 456;
    EXPECT_EQ(xy.Report(&x, &y), 1);
    EXPECT_EQ(x, 123) << "out untouched";
    EXPECT_EQ(y, 456);
    EXPECT_EQ(xy.Move(0, 0, 1), 1);
    EXPECT_EQ(xy.Step(5, 5), 1);
    EXPECT_EQ(xy.Origin(), 1);
    EXPECT_EQ(xy.SetSpeed(50), 1);
    EXPECT_EQ(xy.Command(0), 1);
    EXPECT_EQ(xy.Close(), 0);
    EXPECT_LT(GetTickCount() - afterStart, kPromptMs);

    ASSERT_EQ(xy.Init(nullptr), 0) << "COM starts a new server";
    ASSERT_NE(ConnectServer(), nullptr);
    EXPECT_NE(server.ProcessId(), killedId);
    EXPECT_EQ(server.LiveObjects(), 2);
    server.SetStagePosition(-300.0, 40.0);
    EXPECT_EQ(xy.Report(&x, &y), 0);
    EXPECT_EQ(x, -300);
    EXPECT_EQ(y, 40);
    EXPECT_EQ(xy.Close(), 0);
    EXPECT_EQ(server.LiveObjects(), 0);
}

TEST_F(LocalServerTest, ServerKilledBetweenCalls) {
    ServerProcess* killed = ConnectServer();
    ASSERT_NE(killed, nullptr);
    const DWORD killedId = server.ProcessId();
    ASSERT_EQ(xy.Init(nullptr), 0);
    server.WithdrawClasses();
    ASSERT_TRUE(killed->Kill(kKilledCode));
    ASSERT_TRUE(killed->WaitForEnd(kServerEndMs));
    server.Disconnect();

    const DWORD start = GetTickCount();
    int x = 123;
    int y = 456;
    EXPECT_EQ(xy.Report(&x, &y), 1);
    EXPECT_EQ(x, 123) << "out untouched";
    EXPECT_EQ(xy.Move(10, 10, 1), 1);
    EXPECT_EQ(xy.XStep(5), 1);
    EXPECT_EQ(xy.Init(nullptr), 0) << "still connected as far as the driver knows";
    EXPECT_EQ(xy.Report(&x, &y), 1) << "an init before a close binds nothing anew";
    EXPECT_EQ(xy.Close(), 0);
    EXPECT_LT(GetTickCount() - start, kPromptMs);

    ASSERT_EQ(xy.Init(nullptr), 0) << "COM starts a new server";
    ASSERT_NE(ConnectServer(), nullptr);
    EXPECT_NE(server.ProcessId(), killedId);
    EXPECT_EQ(xy.Move(10, 20, 1), 0);
    EXPECT_EQ(server.StagePosition(), std::make_pair(10.0, 20.0));
    EXPECT_EQ(xy.Close(), 0);
    EXPECT_EQ(server.LiveObjects(), 0);
}

TEST_F(LocalServerTest, ServerKilledUnderEveryFamily) {
    ServerProcess* killed = ConnectServer();
    ASSERT_NE(killed, nullptr);
    OpenEveryFamily();
    ASSERT_EQ(server.LiveObjects(), 4);
    server.WithdrawClasses();
    ASSERT_TRUE(killed->Kill(kKilledCode));
    ASSERT_TRUE(killed->WaitForEnd(kServerEndMs));
    server.Disconnect();

    const DWORD start = GetTickCount();
    int position = 99;
    EXPECT_EQ(z.Report(&position), 1);
    EXPECT_EQ(position, 99) << "out untouched";
    EXPECT_EQ(z.Move(10, 0), 1);
    EXPECT_EQ(z.Step(3), 1);
    EXPECT_EQ(shutter.SetOpen(0, 1), 1);
    EXPECT_EQ(shutter.GetOpen(0), 0) << "a refused call leaves the recorded state";
    EXPECT_EQ(wheel.SetPosition(0, 5), 1);
    EXPECT_EQ(wheel.GetCount(0), 10) << "the stored count stands";
    EXPECT_EQ(wheel.Close(0), 0);
    EXPECT_EQ(shutter.Close(0), 0);
    EXPECT_EQ(z.Close(), 0);
    EXPECT_EQ(xy.Close(), 0);
    EXPECT_LT(GetTickCount() - start, kPromptMs);
}

TEST_F(LocalServerTest, InjectedExceptionCrossesTheProcessBoundary) {
    ASSERT_NE(ConnectServer(), nullptr);
    server.Reset();
    ASSERT_EQ(xy.Init(nullptr), 0);
    server.SetFault(SimStage, StageMember::GetXY.dispid, DISP_E_EXCEPTION);
    int x = 7;
    int y = 8;
    EXPECT_EQ(xy.Report(&x, &y), 1) << "a refused call is an operation not done";

    ComPtr<IDispatch> stage = server.CreateObject(SimStage);
    ASSERT_TRUE(stage);
    double readX = 0.0;
    double readY = 0.0;
    EXCEPINFO exception{};
    EXPECT_EQ(InvokeMember(stage.Get(), StageMember::GetXY, {MakeRefR8(&readX), MakeRefR8(&readY)},
                           nullptr, &exception),
              DISP_E_EXCEPTION);
    EXPECT_EQ(exception.scode, E_FAIL);
    EXPECT_STREQ(exception.bstrSource, L"tolvo.stage");
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);

    server.SetFault(SimStage, StageMember::GetXY.dispid, S_OK);
    EXPECT_EQ(xy.Report(&x, &y), 0);
    stage.Reset();
    EXPECT_EQ(xy.Close(), 0);
    EXPECT_EQ(server.LiveObjects(), 0);
}

TEST_F(LocalServerTest, CostOfAReportAcrossProcesses) {
    // The best of a few rounds, taken in turn, so that a burst of other work
    // on the machine does not decide the figure.
    constexpr int kCalls = 300;
    constexpr int kRounds = 5;
    ASSERT_NE(ConnectServer(), nullptr);
    server.Reset();
    server.SetStagePosition(1234.0, -567.0);
    ASSERT_EQ(xy.Init(nullptr), 0);
    ComPtr<IDispatch> stage = server.CreateObject(SimStage);
    ASSERT_TRUE(stage);

    int failures = 0;
    const auto report = [&] {
        int x = 0;
        int y = 0;
        if (xy.Report(&x, &y) != 0 || x != 1234 || y != -567) {
            ++failures;
        }
    };
    const auto invoke = [&] {
        double x = 0.0;
        double y = 0.0;
        // As the driver calls: with an EXCEPINFO, which a success leaves empty.
        EXCEPINFO exception{};
        if (InvokeMember(stage.Get(), StageMember::GetXY, {MakeRefR8(&x), MakeRefR8(&y)}, nullptr,
                         &exception) != S_OK ||
            x != 1234.0 || y != -567.0) {
            ++failures;
        }
    };
    double reportUs = 1e300;
    double invokeUs = 1e300;
    for (int round = 0; round < kRounds; ++round) {
        reportUs = std::min(reportUs, MicrosecondsPerCall(kCalls, report));
        invokeUs = std::min(invokeUs, MicrosecondsPerCall(kCalls, invoke));
    }
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(server.JournalCount(), 3 + 2 * kCalls * kRounds)
        << "the start-up exchange and every read, all in this server";
    std::printf("[ cost     ] across processes, best of %d rounds of %d calls: StgXYReport "
                "%.1f us/call, bare IDispatch::Invoke of GetXY %.1f us/call, ratio %.2f\n",
                kRounds, kCalls, reportUs, invokeUs, reportUs / invokeUs);

    stage.Reset();
    EXPECT_EQ(xy.Close(), 0);
}

TEST(UnloadingHost, DISABLED_UnloadsAfterItsScenario) {
    const std::string scenario = Variable(kScenarioVariable);
    const std::string report = Variable(kReportVariable);
    if (scenario.empty() || report.empty()) {
        GTEST_SKIP() << "a host process of LocalServerTest's unload tests";
    }
    LoadedDriver driver{"STolvo32.dll"};
    if (scenario == "line held, idle") {
        // Every family closed, but the focus on the device path keeps the line.
        driver.SetIni("Port", "0");
        driver.SetFileKey("KROHW.INI", "Focus", "Module", "STolvo32.dll");
        XYApi xy{driver};
        FocusApi z{driver};
        ASSERT_EQ(xy.Init(nullptr), 0);
        ASSERT_EQ(z.Init(nullptr), 0);
        EXPECT_EQ(z.Move(100, 0), 0);
        EXPECT_EQ(xy.Move(50, 50, 1), 0);
        EXPECT_EQ(z.Close(), 0);
        EXPECT_EQ(xy.Close(), 0);
        Sleep(kIdleMs);
    } else {
        ASSERT_EQ(scenario, "every family open");
        OpenEveryFamily(driver);
    }
    const DWORD start = GetTickCount();
    driver.Unload();
    std::ofstream(report) << GetTickCount() - start << "\n";
}

// The unload gives nothing back across processes; the host's OLE shut-down,
// before its process ends, does. Each object is given back once: no reference
// is left and none went missing.
TEST_F(LocalServerTest, UnloadReturnsPromptly) {
    for (const char* scenario : {"line held, idle", "every family open"}) {
        SCOPED_TRACE(scenario);
        // A server of its own: the host's objects are then counted in it.
        ServerProcess* process = ConnectServer();
        ASSERT_NE(process, nullptr);
        server.Reset();
        const HostRun run = RunUnloadingHost(scenario);
        EXPECT_EQ(run.exitCode, 0) << "-1: the host did not end in its time (the unload hung)";
        EXPECT_GE(run.unloadMs, 0) << "the host reported no unload";
        EXPECT_LT(run.unloadMs, static_cast<long>(kPromptUnloadMs));
        std::printf("[ unload   ] %s: FreeLibrary took %ld ms\n", scenario, run.unloadMs);
        EXPECT_EQ(server.LiveObjects(), 0) << "the host's objects went with its OLE shut-down";
        EXPECT_EQ(server.OutstandingRefs(), 0);
        // The classes it did not give out would take the next host's objects.
        server.WithdrawClasses();
        // Each scenario's server ends before the next one starts, so that a
        // server left running is known by its scenario.
        server.Disconnect();
        EXPECT_TRUE(process->WaitForEnd(kServerEndMs)) << "the server ends once nothing is in use";
    }
}

namespace {
constexpr UINT kRunHandler = WM_APP + 16;

// A host window whose handler of kRunHandler runs `handler`.
class HandlerWindow {
  public:
    explicit HandlerWindow(std::function<void()> handler) : handler_(std::move(handler)) {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = &HandlerWindow::Procedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "LocalServerTestHandler";
        RegisterClassA(&windowClass);
        window_ = CreateWindowA("LocalServerTestHandler", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                                nullptr, windowClass.hInstance, nullptr);
        SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~HandlerWindow() { DestroyWindow(window_); }
    HandlerWindow(const HandlerWindow&) = delete;
    HandlerWindow& operator=(const HandlerWindow&) = delete;
    HWND get() const { return window_; }
    bool ran() const { return ran_; }

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<HandlerWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (message == kRunHandler && self != nullptr) {
            self->ran_ = true;
            self->handler_();
            return 1;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }

    std::function<void()> handler_;
    HWND window_ = nullptr;
    bool ran_ = false;
};

// A re-entered close lets the outer wait end at its next poll: a poll takes
// a few milliseconds here.
constexpr DWORD kNextPollMs = 1500;
constexpr DWORD kSendAfterMs = 500;
} // namespace

void LocalServerTest::CloseFromAHandlerDuringAWaitedMove(bool everyFamily) {
    ASSERT_NE(ConnectServer(), nullptr);
    server.Reset();
    // Keeps a wait that would run on to its time-out short.
    driver.SetIni("TimeOut", "5000");
    if (everyFamily) {
        OpenEveryFamily();
    } else {
        ASSERT_EQ(xy.Init(nullptr), 0);
    }
    // 2000 units at 100 units per second: 20 s.
    server.SetBusyPolls(-1);
    server.SetMotionSpeed(100.0);
    server.ClearJournal();
    int closed = -1;
    HandlerWindow host([&] {
        closed =
            everyFamily ? wheel.Close(0) | shutter.Close(0) | z.Close() | xy.Close() : xy.Close();
    });
    std::thread sender([&] {
        Sleep(kSendAfterMs);
        DWORD_PTR result = 0;
        SendMessageTimeoutA(host.get(), kRunHandler, 0, 0, SMTO_NORMAL, 20000, &result);
    });
    const DWORD start = GetTickCount();
    const int moved = xy.Move(2000, 0, 1);
    const DWORD elapsed = GetTickCount() - start;
    sender.join();
    ASSERT_TRUE(host.ran()) << "the handler ran while the move waited";
    EXPECT_EQ(closed, 0);
    EXPECT_EQ(moved, 0) << "the move was sent; a wait's outcome is not reported";
    EXPECT_LT(elapsed, kSendAfterMs + kNextPollMs) << "the wait ended at its next poll";
    std::printf("[ re-enter ] %s closed from a handler %lu ms into a waited move: the move "
                "returned after %lu ms\n",
                everyFamily ? "every family" : "the XY stage", kSendAfterMs, elapsed);
    // Completed before the move returned.
    EXPECT_FALSE(server.IsLinkOpen());
    const Lines journal = server.Journal();
    EXPECT_NE(std::find(journal.begin(), journal.end(), "scan.ClosePort()"), journal.end());
    EXPECT_EQ(server.LiveObjects(), 0) << "every object given back";
    EXPECT_EQ(server.OutstandingRefs(), 0);
    int x = 123;
    int y = 456;
    EXPECT_EQ(xy.Report(&x, &y), 1) << "closed";
    int z0 = 123;
    EXPECT_EQ(z.Report(&z0), 1) << "every object went with the link";
    // A server that gave out its classes once serves no new client: COM
    // starts another for the new objects.
    ASSERT_EQ(xy.Init(nullptr), 0) << "opens again";
    EXPECT_EQ(xy.Report(&x, &y), 0);
    EXPECT_EQ(xy.Close(), 0);
}

TEST_F(LocalServerTest, XYCloseFromAHandlerDuringAWaitedMove) {
    CloseFromAHandlerDuringAWaitedMove(false);
}

TEST_F(LocalServerTest, EveryFamilyClosedFromAHandlerDuringAWaitedMove) {
    CloseFromAHandlerDuringAWaitedMove(true);
}

namespace {
constexpr UINT kHostPosted = WM_APP + 17;

// A host's own message filter: counts what COM asks it and lets every call wait.
class HostFilter final : public IMessageFilter {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IMessageFilter)) {
            *object = static_cast<IMessageFilter*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // Lives on the test's stack, longer than COM holds it.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) override {
        return SERVERCALL_ISHANDLED;
    }
    DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD, DWORD) override {
        return static_cast<DWORD>(-1);
    }
    DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD, DWORD) override {
        ++pending;
        return PENDINGMSG_WAITDEFPROCESS;
    }
    int pending = 0;
};

} // namespace

// A server that answers each status call after 1.5 s: the call still running
// at the wait's deadline is cancelled through COM's message filter, and the
// host's own filter is back afterwards. Windows ends a cancelled call at once;
// Wine 8 waits for the server's answer and then fails the call, so here the
// move ends at its time-out plus that one status call.
TEST_F(LocalServerTest, AStatusCallPastTheWaitsDeadlineIsCancelled) {
    constexpr DWORD kTimeOutMs = 2000;
    constexpr DWORD kAnswerMs = 1500;
    ASSERT_NE(ConnectServer(), nullptr);
    server.Reset();
    driver.SetIni("TimeOut", "2000");
    driver.SetIni("Trace", "2", "Diagnostics");
    ASSERT_EQ(xy.Init(nullptr), 0);
    server.SetBusyPolls(-1);
    server.SetMotionSpeed(100.0);
    server.SetAnswerDelay(SimScan, ScanMember::GetBusy.dispid, kAnswerMs);

    HostFilter hostFilter;
    IMessageFilter* before = nullptr;
    ASSERT_EQ(CoRegisterMessageFilter(&hostFilter, &before), S_OK);
    const DWORD hostThread = GetCurrentThreadId();
    std::thread poster([&] {
        Sleep(500);
        PostThreadMessageA(hostThread, kHostPosted, 0, 0);
    });
    const DWORD start = GetTickCount();
    EXPECT_EQ(xy.Move(2000, 0, 1), 0);
    const DWORD elapsed = GetTickCount() - start;
    poster.join();
    IMessageFilter* standing = nullptr;
    EXPECT_EQ(CoRegisterMessageFilter(before, &standing), S_OK);
    EXPECT_EQ(standing, &hostFilter) << "the host's filter stands again";
    EXPECT_GE(hostFilter.pending, 1) << "and was asked about the host's message during the wait";
    MSG message;
    int hostMessages = 0;
    while (PeekMessageA(&message, reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE)) {
        EXPECT_EQ(message.message, kHostPosted) << "the driver left nothing in the host's queue";
        hostMessages += message.message == kHostPosted ? 1 : 0;
    }
    EXPECT_LE(hostMessages, 1);
    server.SetAnswerDelay(SimScan, ScanMember::GetBusy.dispid, 0);

    EXPECT_GE(elapsed, kTimeOutMs - 20) << "the wait ran to its time-out";
    EXPECT_LT(elapsed, kTimeOutMs + kAnswerMs + 1000) << "and one status call beyond";
    std::printf("[ silent   ] status calls answered after %lu ms, time-out %lu ms: the waited "
                "move returned after %lu ms\n",
                kAnswerMs, kTimeOutMs, elapsed);
    // The driver's own record of the call running at the deadline.
    bool cancelled = false;
    // The C runtime opens the file with sharing, beside the driver's handle.
    std::ifstream trace(driver.folder() + "\\STolvoTrace.log");
    for (std::string line; std::getline(trace, line);) {
        cancelled = cancelled || (line.find("scan.GetBusy(") != std::string::npos &&
                                  line.find("hr=0x80010002") != std::string::npos);
    }
    EXPECT_TRUE(cancelled) << "a status call ended with RPC_E_CALL_CANCELED";
    EXPECT_EQ(xy.Close(), 0);
}
