// Binding the controller's objects, opening the link, giving references back,
// and waiting for the controller to stop.
#include <gtest/gtest.h>
#include "xy_api.h"
#include "core/scan_members.h"
#include <climits>

namespace {
class ConnectionTest : public ::testing::Test {
  protected:
    void SetUp() override { Sim().Reset(); }
    void TearDown() override {
        if (driver.module() != nullptr) {
            xy.Close();
        }
        driver.Unload();
        EXPECT_EQ(Sim().LiveObjects(), 0) << "every reference is given back";
    }

    LoadedDriver driver{"STolvo32Probe.dll"};
    XYApi xy{driver};
    ProbeApi probe{driver};
};

// Calls the servers received, a run of the same poll counted call by call;
// the notes of the test build's waits do not count.
int Calls() {
    int calls = 0;
    for (const SimCall& call : Journal()) {
        calls += call.object != SimNote ? 1 + static_cast<int>(call.repeats) : 0;
    }
    return calls;
}
} // namespace

TEST_F(ConnectionTest, PortChoiceGivesThePortArgument) {
    const struct {
        const char* port;
        const char* openCall;
    } cases[] = {{"0", "scan.OpenPort(&1)"}, {"1", "scan.OpenPort(&2)"},
                 {"2", "scan.OpenPort(&3)"}, {"3", "scan.OpenPort(&4)"},
                 {"4", "scan.OpenPort(&0)"}, {"7", "scan.OpenPort(&7)"}};
    Sim().SetOpenablePorts(0xFFFFFFFF);
    for (const auto& c : cases) {
        Sim().JournalClear();
        driver.SetIni("Port", c.port);
        ASSERT_EQ(xy.Init(nullptr), 0) << c.port;
        const std::vector<std::string> expected = {c.openCall, "scan.LinkValue?",
                                                   "scan.LinkReady()"};
        EXPECT_EQ(Trace(), expected) << c.port;
        xy.Close();
    }
}

TEST_F(ConnectionTest, UnconfiguredPortContactsNoServer) {
    EXPECT_EQ(probe.StagePortOwner(), -1);
    EXPECT_EQ(xy.Init(nullptr), -2);
    EXPECT_EQ(probe.StagePortOwner(), 99) << "claimed before the settings are read";
    driver.SetIni("Port", "-1");
    EXPECT_EQ(xy.Init(nullptr), -2);
    EXPECT_EQ(Calls(), 0);
    EXPECT_EQ(Sim().LiveObjects(), 0);
}

TEST_F(ConnectionTest, SecondInitReusesTheOpenLink) {
    driver.SetIni("Port", "0");
    ASSERT_EQ(xy.Init(nullptr), 0);
    Sim().JournalClear();
    EXPECT_EQ(xy.Init(nullptr), 0);
    EXPECT_EQ(Calls(), 0);
}

TEST_F(ConnectionTest, CloseDisconnectsAndTheSamePortConnectsAgain) {
    driver.SetIni("Port", "1");
    ASSERT_EQ(xy.Init(nullptr), 0);
    EXPECT_TRUE(Sim().IsLinkOpen());
    EXPECT_EQ(Sim().LiveObjects(), 2);
    Sim().JournalClear();
    EXPECT_EQ(xy.Close(), 0);
    EXPECT_EQ(Trace(), std::vector<std::string>{"scan.ClosePort()"});
    EXPECT_FALSE(Sim().IsLinkOpen());
    EXPECT_EQ(Sim().LiveObjects(), 0);
    EXPECT_EQ(xy.Move(1, 1, 0), 1) << "nothing is bound after the close";

    // A link that opened and was closed cleanly may be opened again.
    EXPECT_EQ(xy.Init(nullptr), 0);
    EXPECT_TRUE(Sim().IsLinkOpen());
    EXPECT_EQ(Sim().LastOpenedPort(), 2);
}

TEST_F(ConnectionTest, PortThatFailedToOpenIsNotTriedAgain) {
    Sim().SetOpenablePorts(1u << 1);
    driver.SetIni("Port", "2");
    EXPECT_EQ(xy.Init(nullptr), -1);
    EXPECT_EQ(Sim().LiveObjects(), 0) << "a failed open gives the references back";
    EXPECT_EQ(xy.Move(1, 1, 0), 1);

    Sim().JournalClear();
    EXPECT_EQ(xy.Init(nullptr), -1);
    EXPECT_EQ(Calls(), 0) << "the dead port is not contacted again";

    driver.SetIni("Port", "0");
    EXPECT_EQ(xy.Init(nullptr), 0);
    EXPECT_EQ(Sim().LastOpenedPort(), 1);
    xy.Close();

    // Another port was tried in between, so the first one gets a new chance.
    Sim().JournalClear();
    driver.SetIni("Port", "2");
    EXPECT_EQ(xy.Init(nullptr), -1);
    EXPECT_GT(Calls(), 0);
}

// Any negative status is a failed open and any other an open link, not just
// the -1 and 0 that the simulator writes by default.
TEST_F(ConnectionTest, OpenPortStatusDecidesTheOpen) {
    const struct {
        LONG opened;
        LONG refused;
        DWORD openable;
        int result;
    } cases[] = {{0, -2, 0, -1},
                 {0, LONG_MIN, 0, -1},
                 {5, -1, 0x1F, 0},
                 {LONG_MAX, -1, 0x1F, 0},
                 {0, -1, 0x1F, 0}};
    int port = 0;
    for (const auto& c : cases) {
        Sim().SetOpenPortStatus(c.opened, c.refused);
        Sim().SetOpenablePorts(c.openable);
        driver.SetIni("Port", std::to_string(port++ % 4).c_str()); // a new port each time
        EXPECT_EQ(xy.Init(nullptr), c.result) << c.opened << " " << c.refused;
        EXPECT_EQ(probe.Connected(), c.result == 0 ? 1 : 0);
        EXPECT_EQ(Sim().LiveObjects(), c.result == 0 ? 2 : 0);
        xy.Close();
    }
}

// The start-up exchange after the open (LinkValue read, LinkReady call) is
// not used: a real server may answer it otherwise than the simulator does.
TEST_F(ConnectionTest, TheStartUpExchangeFailsTheLinkOnlyWhenTheServerIsGone) {
    const struct {
        const ServerMember& member;
        HRESULT answer;
        int result;
    } cases[] = {
        {ScanMember::LinkValue, E_FAIL, 0},
        {ScanMember::LinkValue, DISP_E_TYPEMISMATCH, 0},
        {ScanMember::LinkValue, DISP_E_EXCEPTION, 0},
        {ScanMember::LinkValue, RPC_E_DISCONNECTED, -1},
        {ScanMember::LinkReady, E_FAIL, 0},
        {ScanMember::LinkReady, DISP_E_MEMBERNOTFOUND, 0},
        {ScanMember::LinkReady, CO_E_OBJNOTCONNECTED, -1},
        {ScanMember::LinkReady, HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE), -1},
    };
    int port = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.member.name) + " " + std::to_string(c.answer));
        Sim().SetFault(SimScan, c.member.dispid, c.answer);
        driver.SetIni("Port", std::to_string(port++ % 4).c_str()); // a new port each time
        EXPECT_EQ(xy.Init(nullptr), c.result);
        EXPECT_EQ(probe.Connected(), c.result == 0 ? 1 : 0);
        EXPECT_EQ(Sim().IsLinkOpen(), c.result == 0) << "a link the driver gave up is closed";
        EXPECT_EQ(Sim().LiveObjects(), c.result == 0 ? 2 : 0);
        if (c.result == 0) {
            EXPECT_EQ(xy.Move(5, 6, 0), 0) << "the stage moves on the link";
        }
        xy.Close();
        Sim().SetFault(SimScan, c.member.dispid, S_OK);
    }
}

TEST_F(ConnectionTest, OpenPortRefusedByTheServerCountsAsAFailedOpen) {
    Sim().SetFault(SimScan, ScanMember::OpenPort.dispid, E_FAIL);
    driver.SetIni("Port", "0");
    EXPECT_EQ(xy.Init(nullptr), -1);
    EXPECT_EQ(Sim().LiveObjects(), 0);
}

TEST_F(ConnectionTest, RunningInstanceIsPreferredToANewOne) {
    {
        RunningInstance scan(SimScan);
        RunningInstance stage(SimStage);
        ASSERT_TRUE(scan.registered());
        ASSERT_TRUE(stage.registered());
        const int before = Sim().LiveObjects();
        driver.SetIni("Port", "0");
        ASSERT_EQ(xy.Init(nullptr), 0);
        EXPECT_EQ(Sim().LiveObjects(), before) << "no new object was created";
        EXPECT_TRUE(Sim().IsLinkOpen());
        const int refsWhileBound = Sim().OutstandingRefs();
        xy.Close();
        EXPECT_LT(Sim().OutstandingRefs(), refsWhileBound);
    }
    EXPECT_EQ(Sim().LiveObjects(), 0);
}

TEST_F(ConnectionTest, UnregisteredServerFailsTheInit) {
    HMODULE sim = Sim().module;
    auto unregister = reinterpret_cast<HRESULT(WINAPI*)()>(
        reinterpret_cast<void*>(GetProcAddress(sim, "DllUnregisterServer")));
    auto reregister = reinterpret_cast<HRESULT(WINAPI*)()>(
        reinterpret_cast<void*>(GetProcAddress(sim, "DllRegisterServer")));
    ASSERT_TRUE(unregister && reregister);
    ASSERT_EQ(unregister(), S_OK);
    driver.SetIni("Port", "0");
    const int result = xy.Init(nullptr);
    ASSERT_EQ(reregister(), S_OK);
    EXPECT_EQ(result, -1);
    EXPECT_EQ(Calls(), 0);

    // Registration failures are not a failed open: the port may be tried again.
    EXPECT_EQ(xy.Init(nullptr), 0);
}

TEST_F(ConnectionTest, UnloadWithoutCloseGivesTheReferencesBack) {
    driver.SetIni("Port", "0");
    ASSERT_EQ(xy.Init(nullptr), 0);
    EXPECT_EQ(Sim().LiveObjects(), 2);
    driver.Unload();
    EXPECT_EQ(Sim().LiveObjects(), 0);
}

class WaitTest : public ConnectionTest {
  protected:
    void SetUp() override {
        ConnectionTest::SetUp();
        driver.SetIni("Port", "0");
        ASSERT_EQ(xy.Init(nullptr), 0);
    }
};

TEST_F(WaitTest, IdleAfterTheBusyPolls) {
    Sim().SetBusyPolls(5);
    ASSERT_EQ(xy.Move(10, 10, 0), 0);
    const int before = Sim().BusyPollCount();
    EXPECT_EQ(probe.WaitForIdle(60000), 1);
    EXPECT_EQ(Sim().BusyPollCount() - before, 6) << "five busy answers, then idle";
}

TEST_F(WaitTest, TimeOutWhileBusy) {
    Sim().SetBusyForever(TRUE);
    const DWORD start = GetTickCount();
    EXPECT_EQ(probe.WaitForIdle(200), 0);
    EXPECT_GE(GetTickCount() - start, 200u);
    EXPECT_EQ(probe.WaitForIdle(0), 0);
}

TEST_F(WaitTest, ServerGoneEndsTheWaitAtOnce) {
    Sim().SetFault(SimScan, ScanMember::GetBusy.dispid, RPC_E_DISCONNECTED);
    Sim().JournalClear();
    EXPECT_EQ(probe.WaitForIdle(INFINITE), 0);
    EXPECT_EQ(Calls(), 1);
}

// Processor time of this thread, in milliseconds.
double ThreadCpuMs() {
    FILETIME created, ended, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &ended, &kernel, &user);
    const auto ms = [](const FILETIME& t) {
        return static_cast<double>((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) |
                                   t.dwLowDateTime) /
               10000.0;
    };
    return ms(kernel) + ms(user);
}

// A failed poll, or nothing to poll, is waited out without keeping the
// processor busy: the thread sleeps between tries. Runs a 300 ms wait that
// times out and gives the calls it made.
int PausedWaitCalls(ProbeApi& probe) {
    Sim().JournalClear();
    const double cpuBefore = ThreadCpuMs();
    const DWORD start = GetTickCount();
    EXPECT_EQ(probe.WaitForIdle(300), 0);
    const DWORD elapsed = GetTickCount() - start;
    EXPECT_GE(elapsed, 300u);
    EXPECT_LT(ThreadCpuMs() - cpuBefore, elapsed / 2.0) << "asleep, not spinning";
    return Calls();
}

TEST_F(WaitTest, OtherPollFailuresCountAsBusyAndAreTriedAgainAfterAPause) {
    Sim().SetFault(SimScan, ScanMember::GetBusy.dispid, E_FAIL);
    const int calls = PausedWaitCalls(probe);
    EXPECT_GE(calls, 2) << "tried again";
    EXPECT_LE(calls, 100) << "but not as fast as the server refuses";
}

TEST_F(WaitTest, WithoutScanObjectTheWaitRunsToItsTimeOut) {
    xy.Close();
    EXPECT_EQ(PausedWaitCalls(probe), 0);
}
