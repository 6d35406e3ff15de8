// The focus drive's exports: their codes, the two paths, and exactly what
// they ask of the servers.
#include <gtest/gtest.h>
#include "driver_api.h"
#include "core/focus_members.h"
#include "xy_api.h"
#include <climits>
#include <cmath>
#include <functional>

namespace {
using Lines = std::vector<std::string>;

class FocusTest : public ::testing::Test {
  protected:
    void SetUp() override { Sim().Reset(); }
    void TearDown() override {
        Sim().SetClassRegistered(SimFocus, TRUE);
        driver.Unload();
        EXPECT_EQ(Sim().LiveObjects(), 0) << "every reference is given back";
    }
    void GiveFocusToTheDriver() const {
        driver.SetFileKey("KROHW.INI", "Focus", "Module", "STolvo32.dll");
    }
    // The XY stage opens the link on "COMM 1"; the focus then joins it.
    void OpenStageThenFocus() {
        driver.SetIni("Port", "0");
        ASSERT_EQ(xy.Init(nullptr), 0);
        ASSERT_EQ(z.Init(nullptr), 0);
        Sim().JournalClear();
    }

    LoadedDriver driver{"STolvo32Probe.dll"};
    XYApi xy{driver};
    FocusApi z{driver};
};
} // namespace

TEST_F(FocusTest, UnboundMotionReportsNotBoundAndCallsNothing) {
    int position = 0x5A5A5A5A;
    EXPECT_EQ(z.Move(10, 0), 1);
    EXPECT_EQ(z.Report(&position), 1);
    EXPECT_EQ(position, 0x5A5A5A5A) << "out untouched";
    EXPECT_EQ(z.Step(3), 1);
    EXPECT_EQ(z.Step(-3), 1);
    EXPECT_EQ(z.Origin(), 1);
    EXPECT_EQ(Sim().JournalCount(), 0);
}

TEST_F(FocusTest, ExportsThatNeedNoController) {
    double step = -7.0;
    EXPECT_EQ(z.Calib(&step), 0);
    EXPECT_DOUBLE_EQ(step, 0.0001) << "no settings loaded yet";
    int type = 0x5A5A5A5A;
    EXPECT_EQ(z.Type(&type), 0);
    EXPECT_EQ(type, 0);
    EXPECT_EQ(z.SetSpeed(50), 1) << "speed control is not offered";
    EXPECT_EQ(z.CanAutoFocus(), 1);
    EXPECT_EQ(z.AutoFocus(1), 0);
    EXPECT_EQ(z.StepSize(5), 0);
    EXPECT_EQ(z.Status(), 0);
    EXPECT_EQ(z.Write(1, 2), 0);
    EXPECT_EQ(z.Read(1, 2, 3), 0);
    EXPECT_EQ(z.Close(), 0);
}

TEST_F(FocusTest, NullOutPointersAreNotWrittenThrough) {
    EXPECT_EQ(z.Calib(nullptr), 0);
    EXPECT_EQ(z.Type(nullptr), 0);
    OpenStageThenFocus();
    EXPECT_EQ(z.Report(nullptr), 0);
}

TEST_F(FocusTest, UnregisteredFocusServerGivesOne) {
    ASSERT_EQ(Sim().SetClassRegistered(SimFocus, FALSE), S_OK);
    driver.SetIni("Port", "0");
    EXPECT_EQ(z.Init(nullptr), 1);
    EXPECT_EQ(z.Move(1, 0), 1);
    EXPECT_EQ(ReadLinkState(driver).connected, 0) << "nothing else was done";
}

TEST_F(FocusTest, FocusServerThatCannotStartGivesZeroAndStaysUnbound) {
    Sim().SetCreationFault(SimFocus, E_OUTOFMEMORY);
    EXPECT_EQ(z.Init(nullptr), 0);
    EXPECT_EQ(z.Move(1, 0), 1);
    EXPECT_EQ(z.Report(nullptr), 1);
    EXPECT_EQ(ReadLinkState(driver).connected, 0);
}

TEST_F(FocusTest, StagePathJoinsTheStageHolders) {
    driver.SetIni("Port", "1");
    EXPECT_EQ(z.Init(nullptr), -1) << "no settings were loaded: port -1 does not open";
    LinkState state = ReadLinkState(driver);
    EXPECT_EQ(state.stagePortOwner, 8);
    EXPECT_EQ(state.stageClientOpen, 1);
    EXPECT_EQ(state.devicePortOwner, -1);

    ASSERT_EQ(xy.Init(nullptr), 0) << "the XY stage loads port 1";
    EXPECT_EQ(z.Init(nullptr), 0);
    state = ReadLinkState(driver);
    EXPECT_EQ(state.stagePortOwner, 8) << "the first claim stays";
    EXPECT_EQ(state.deviceClientOpen, 0);
    EXPECT_EQ(Sim().LastOpenedPort(), 2);
}

TEST_F(FocusTest, DevicePathLoadsTheFocusRecordAndHoldsAsADevice) {
    GiveFocusToTheDriver();
    driver.SetIni("Port", "0");
    ASSERT_EQ(xy.Init(nullptr), 0);
    driver.SetIni("FocusStep", "1");
    EXPECT_EQ(z.Init(nullptr), 0);
    const LinkState state = ReadLinkState(driver);
    EXPECT_EQ(state.devicePortOwner, 8);
    EXPECT_EQ(state.deviceClientOpen, 1);
    EXPECT_EQ(state.stagePortOwner, 99);
    double step = 0.0;
    z.Calib(&step);
    EXPECT_DOUBLE_EQ(step, 0.1) << "FocusStep 1 of the focus record";
}

TEST_F(FocusTest, MoveIsRelativeToTheSoftwareOriginAndWaitsFiveSeconds) {
    OpenStageThenFocus();
    Sim().SetFocusPosition(1234.7);
    EXPECT_EQ(z.Origin(), 0);
    EXPECT_EQ(Trace(), (Lines{"focus.Position?"})) << "the origin sends nothing";
    int position = 99;
    EXPECT_EQ(z.Report(&position), 0);
    EXPECT_EQ(position, 0);

    Sim().JournalClear();
    Sim().SetBusyPolls(2);
    EXPECT_EQ(z.Move(100, 12345), 0);
    EXPECT_EQ(Trace(), (Lines{"focus.MoveTo(1334)", "wait(5000)"}));
    EXPECT_DOUBLE_EQ(Sim().FocusPosition(), 1334.0);
    EXPECT_EQ(z.Report(&position), 0);
    EXPECT_EQ(position, 100);
}

TEST_F(FocusTest, OffsetArithmeticWrapsAtThirtyTwoBits) {
    OpenStageThenFocus();
    Sim().SetFocusPosition(100.0);
    ASSERT_EQ(z.Origin(), 0); // ZOffset -100
    Sim().JournalClear();
    EXPECT_EQ(z.Move(INT_MAX, 0), 0);
    EXPECT_EQ(Trace().front(), "focus.MoveTo(-2147483549)") << "INT_MAX + 100 wraps";

    Sim().SetFocusPosition(-2147483648.0);
    ASSERT_EQ(z.Origin(), 0); // ZOffset = -INT_MIN wraps to INT_MIN
    Sim().JournalClear();
    EXPECT_EQ(z.Move(0, 0), 0);
    EXPECT_EQ(Trace().front(), "focus.MoveTo(-2147483648)");
}

TEST_F(FocusTest, ReportTruncatesTowardZero) {
    OpenStageThenFocus();
    const struct {
        double server;
        int host;
        double originAt = 0.0; // where StgZOrigin was called first
    } cases[] = {{-0.5, 0},
                 {2.999, 2},
                 {-2.999, -2},
                 {1e12, INT_MAX},
                 {-1e12, INT_MIN},
                 {HUGE_VAL, INT_MAX},
                 {-HUGE_VAL, INT_MIN},
                 {std::nan(""), 0},
                 // 9.5 less the origin 10 is -0.5: truncated after the origin is added.
                 {9.5, 0, 10.0}};
    for (const auto& c : cases) {
        Sim().SetFocusPosition(c.originAt);
        ASSERT_EQ(z.Origin(), 0);
        Sim().SetFocusPosition(c.server);
        int position = 12345;
        EXPECT_EQ(z.Report(&position), 0);
        EXPECT_EQ(position, c.host) << c.server;
    }
}

TEST_F(FocusTest, StepsPickTheDirectionAndAlwaysWait) {
    OpenStageThenFocus();
    EXPECT_EQ(z.Step(-5), 0);
    EXPECT_EQ(z.Step(0), 0);
    EXPECT_EQ(z.Step(7), 0);
    EXPECT_EQ(z.Step(INT_MIN), 0);
    EXPECT_EQ(Trace(), (Lines{"focus.StepNegative(5)", "wait(5000)", "focus.StepPositive(0)",
                              "wait(5000)", "focus.StepPositive(7)", "wait(5000)",
                              "focus.StepNegative(2147483648)", "wait(5000)"}));
}

TEST_F(FocusTest, AFailingMemberIsNotDoneAndIsNotWaitedFor) {
    OpenStageThenFocus();
    int position = 0;
    const struct {
        const char* what;
        const ServerMember& member;
        HRESULT fault;
        std::function<int()> call;
    } cases[] = {
        {"move", FocusMember::MoveTo, E_FAIL, [&] { return z.Move(5, 0); }},
        {"step down", FocusMember::StepNegative, DISP_E_EXCEPTION, [&] { return z.Step(-1); }},
        {"step up", FocusMember::StepPositive, RPC_E_DISCONNECTED, [&] { return z.Step(1); }},
        {"report", FocusMember::Position, E_FAIL, [&] { return z.Report(&position); }},
        {"origin", FocusMember::Position, DISP_E_EXCEPTION, [&] { return z.Origin(); }},
    };
    for (const auto& c : cases) {
        Sim().SetFault(SimFocus, c.member.dispid, c.fault);
        Sim().JournalClear();
        EXPECT_EQ(c.call(), 1) << c.what;
        EXPECT_EQ(Trace().size(), 1u) << c.what << ": the refused call only, no wait";
        Sim().SetFault(SimFocus, c.member.dispid, S_OK);
        EXPECT_EQ(c.call(), 0) << c.what << " works again";
    }
}

TEST_F(FocusTest, AFailedReadKeepsTheOutputAndTheOrigin) {
    OpenStageThenFocus();
    Sim().SetFocusPosition(50.0);
    ASSERT_EQ(z.Origin(), 0);
    Sim().SetFault(SimFocus, FocusMember::Position.dispid, E_FAIL);
    int position = 777;
    EXPECT_EQ(z.Report(&position), 1);
    EXPECT_EQ(position, 777);
    EXPECT_EQ(z.Origin(), 1);
    Sim().SetFault(SimFocus, FocusMember::Position.dispid, S_OK);
    Sim().SetFocusPosition(60.0);
    EXPECT_EQ(z.Report(&position), 0);
    EXPECT_EQ(position, 10) << "the failed origin kept the old offset";
}
