// The XY stage exports: their codes, and exactly what they ask of the servers.
#include <gtest/gtest.h>
#include "xy_api.h"
#include "sim_objects.h"
#include "core/scan_members.h"
#include "core/stage_members.h"
#include <climits>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace {
using Lines = std::vector<std::string>;

class UnboundStage : public ::testing::Test {
  protected:
    void SetUp() override { Sim().Reset(); }

    LoadedDriver driver{"STolvo32Probe.dll"};
    XYApi xy{driver};
};

class BoundStage : public UnboundStage {
  protected:
    void SetUp() override {
        UnboundStage::SetUp();
        driver.SetIni("Port", "0");
        ASSERT_EQ(xy.Init(nullptr), 0);
        Sim().JournalClear();
    }
    void TearDown() override { xy.Close(); }
};
} // namespace

TEST_F(UnboundStage, MotionExportsReportNotBoundAndCallNothing) {
    int x = 77;
    int y = 88;
    EXPECT_EQ(xy.Move(1, 2, 1), 1);
    EXPECT_EQ(xy.Report(&x, &y), 1);
    EXPECT_EQ(x, 77);
    EXPECT_EQ(y, 88);
    EXPECT_EQ(xy.XStep(5), 1);
    EXPECT_EQ(xy.YStep(5), 1);
    EXPECT_EQ(xy.Step(5, 5), 1);
    EXPECT_EQ(xy.Origin(), 1);
    EXPECT_EQ(xy.SetSpeed(50), 1);
    EXPECT_EQ(xy.XStepSize(3), 1);
    EXPECT_EQ(xy.YStepSize(3), 1);
    EXPECT_EQ(Sim().JournalCount(), 0);
}

TEST_F(UnboundStage, CommandsWithoutObjects) {
    const struct {
        int command;
        int result;
    } cases[] = {{0, 0}, {1, 1}, {2, 0}, {3, 1}, {4, 0}, {5, 0}, {-1, 0}, {1000, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(xy.Command(c.command), c.result) << c.command;
    }
    EXPECT_EQ(Sim().JournalCount(), 0);
}

TEST_F(UnboundStage, ReportsThatNeedNoController) {
    int type = 0;
    EXPECT_EQ(xy.Type(&type), 0);
    EXPECT_EQ(type, 0xC00B);
    double cx = 0.0;
    double cy = 0.0;
    EXPECT_EQ(xy.Calib(&cx, &cy), 0);
    EXPECT_DOUBLE_EQ(cx, 0.001);
    EXPECT_DOUBLE_EQ(cy, 0.001);
    EXPECT_EQ(xy.Status(), 0);
    EXPECT_EQ(xy.Joystick(1), 0);
    EXPECT_EQ(xy.Write(1, 2), 0);
    EXPECT_EQ(xy.Read(1, 2, 3), 0);
    EXPECT_EQ(xy.Close(), 0);
}

TEST_F(UnboundStage, CalibrationFollowsTheLoadedStepSize) {
    driver.SetIni("StageStep", "2");
    EXPECT_EQ(xy.Init(nullptr), -2) << "no port configured";
    double cx = 0.0;
    double cy = 0.0;
    xy.Calib(&cx, &cy);
    EXPECT_DOUBLE_EQ(cx, 0.4);
    EXPECT_DOUBLE_EQ(cy, 0.4);
}

TEST_F(BoundStage, MoveWithAndWithoutWait) {
    Sim().SetBusyPolls(3);
    EXPECT_EQ(xy.Move(1000, -250, 1), 0);
    EXPECT_EQ(Trace(), (Lines{"stage.MoveXY(1000,-250)", "wait(60000)"}));
    EXPECT_EQ(Sim().BusyPollCount(), 4);
    double x = 0.0;
    double y = 0.0;
    Sim().GetStagePosition(&x, &y);
    EXPECT_DOUBLE_EQ(x, 1000.0);
    EXPECT_DOUBLE_EQ(y, -250.0);

    Sim().JournalClear();
    EXPECT_EQ(xy.Move(-2147483647 - 1, 2147483647, 0), 0);
    EXPECT_EQ(Trace(), (Lines{"stage.MoveXY(-2147483648,2147483647)"}));
}

TEST_F(BoundStage, ReportTruncatesTowardZero) {
    const struct {
        double x, y;
        int ix, iy;
    } cases[] = {{12.9, -12.9, 12, -12},
                 {0.5, -0.5, 0, 0},
                 {-1000.0, 250000.99, -1000, 250000},
                 // Outside the host's range: the focus drive's rule, the nearest end or 0.
                 {3e9, -3e9, INT_MAX, INT_MIN},
                 {HUGE_VAL, -HUGE_VAL, INT_MAX, INT_MIN},
                 {std::nan(""), 2147483647.9, 0, INT_MAX}};
    for (const auto& c : cases) {
        Sim().SetStagePosition(c.x, c.y);
        int x = 1;
        int y = 1;
        EXPECT_EQ(xy.Report(&x, &y), 0);
        EXPECT_EQ(x, c.ix) << c.x;
        EXPECT_EQ(y, c.iy) << c.y;
    }
    EXPECT_EQ(Trace().front(), "stage.GetXY(&0,&0)");
}

TEST_F(BoundStage, StepsGoXThenYEachWithItsWait) {
    EXPECT_EQ(xy.Step(5, -7), 0);
    EXPECT_EQ(Trace(), (Lines{"stage.StepX(5)", "wait(60000)", "stage.StepY(-7)", "wait(60000)"}));
    Sim().JournalClear();
    EXPECT_EQ(xy.XStep(-3), 0);
    EXPECT_EQ(xy.YStep(4), 0);
    EXPECT_EQ(Trace(), (Lines{"stage.StepX(-3)", "wait(60000)", "stage.StepY(4)", "wait(60000)"}));
}

TEST_F(BoundStage, OriginDoesNotWait) {
    EXPECT_EQ(xy.Origin(), 0);
    EXPECT_EQ(Trace(), (Lines{"stage.SetXY(0,0)"}));
}

TEST_F(BoundStage, SpeedPercentIsConvertedInDoublePrecision) {
    const struct {
        int percent;
        double put;
    } cases[] = {{100, 50000.0}, {1, 500.0}, {29, 14499.0}, {0, 0.0}, {-10, -5000.0}};
    for (const auto& c : cases) {
        Sim().JournalClear();
        EXPECT_EQ(xy.SetSpeed(c.percent), 0);
        EXPECT_DOUBLE_EQ(Sim().StageSpeed(), c.put) << c.percent;
        EXPECT_EQ(Trace().size(), 1u);
    }
}

TEST_F(BoundStage, StepSizeExportsAnswerWhenBound) {
    EXPECT_EQ(xy.XStepSize(3), 0);
    EXPECT_EQ(xy.YStepSize(3), 0);
    EXPECT_EQ(Sim().JournalCount(), 0);
}

TEST_F(BoundStage, ControllerCommand) {
    EXPECT_EQ(xy.Command(0), 0);
    EXPECT_EQ(Trace(), (Lines{"scan.ScanCommand()", "wait(60000)"}));
}

TEST_F(BoundStage, NegativeTravelEndBecomesTheOrigin) {
    EXPECT_EQ(xy.Command(1), 0);
    EXPECT_EQ(Trace(), (Lines{"wait(5000)", "stage.MoveXY(-250000,-250000)", "wait(5000)",
                              "stage.SetXY(0,0)"}));
}

TEST_F(BoundStage, PositiveTravelEndAsksTheStageFirst) {
    EXPECT_EQ(xy.Command(2), 0);
    EXPECT_EQ(Trace(), (Lines{"stage.StageQuery(&0,&26,&0,&0,&0,&0)", "wait(60000)",
                              "stage.MoveXY(250000,250000)", "wait(60000)"}));
    const std::vector<SimCall> calls = Journal();
    ASSERT_FALSE(calls.empty());
    EXPECT_STREQ(calls.front().text, "abcdefghjklmnopqrstuvwxyz");
    EXPECT_EQ(calls.front().argType[1], VT_BSTR | VT_BYREF);
}

TEST_F(BoundStage, CentringRunsToBothEndsAndHalvesTheTravel) {
    Sim().SetTravel(80000.0, 60000.0);
    EXPECT_EQ(xy.Command(3), 0);
    EXPECT_EQ(Trace(),
              (Lines{"stage.RunX(-250000)", "wait(5000)", "stage.RunY(-250000)", "wait(5000)",
                     "stage.SetXY(0,0)", "stage.RunX(250000)", "wait(5000)", "stage.RunY(250000)",
                     "wait(5000)", "stage.TravelX?", "stage.TravelY?", "stage.MoveXY(40000,30000)",
                     "wait(5000)", "stage.SetXY(0,0)"}));
}

TEST_F(BoundStage, ReturnToOrigin) {
    EXPECT_EQ(xy.Command(4), 0);
    EXPECT_EQ(Trace(), (Lines{"wait(60000)", "stage.MoveXY(0,0)", "wait(60000)"}));
}

TEST_F(BoundStage, UnknownCommandCallsNothing) {
    EXPECT_EQ(xy.Command(5), 0);
    EXPECT_EQ(xy.Command(-1), 0);
    EXPECT_EQ(Sim().JournalCount(), 0);
}

TEST_F(BoundStage, FailedCallsReturnNotDone) {
    Sim().SetFault(SimStage, StageMember::MoveXY.dispid, E_FAIL);
    EXPECT_EQ(xy.Move(1, 1, 1), 1);
    EXPECT_EQ(xy.Command(4), 1);
    Sim().SetFault(SimStage, StageMember::StepX.dispid, DISP_E_EXCEPTION);
    EXPECT_EQ(xy.Step(1, 1), 1);
    EXPECT_EQ(Trace().back(), "wait(60000)") << "the Y step still runs";
    Sim().SetFault(SimStage, StageMember::GetXY.dispid, E_FAIL);
    int x = 5;
    int y = 6;
    EXPECT_EQ(xy.Report(&x, &y), 1);
    EXPECT_EQ(x, 5);
    EXPECT_EQ(y, 6);
}

TEST_F(BoundStage, TimeOutDoesNotChangeTheResult) {
    driver.SetIni("TimeOut", "50");
    ASSERT_EQ(xy.Init(nullptr), 0) << "reloads the settings";
    Sim().SetBusyForever(TRUE);
    const DWORD start = GetTickCount();
    EXPECT_EQ(xy.Move(1, 1, 1), 0);
    EXPECT_GE(GetTickCount() - start, 50u);
}

TEST_F(BoundStage, ExportsByOrdinalAreTheSameFunctions) {
    auto byOrdinal = reinterpret_cast<int(WINAPI*)(int, int, int)>(
        reinterpret_cast<void*>(GetProcAddress(driver.module(), MAKEINTRESOURCEA(7))));
    ASSERT_NE(byOrdinal, nullptr);
    EXPECT_EQ(byOrdinal(3, 4, 0), 0);
    EXPECT_EQ(Trace(), (Lines{"stage.MoveXY(3,4)"}));
}

// Every member that an export calls, refused by the server: the export answers
// "not done", nothing after the refused call is sent, and a later call works.
TEST_F(BoundStage, EveryMemberRefusedIsNotDone) {
    Sim().SetTravel(80000.0, 60000.0);
    int x = 0;
    int y = 0;
    struct Case {
        std::string what;
        const ServerMember& member;
        std::function<int()> call;
    };
    std::vector<Case> cases = {
        {"move", StageMember::MoveXY, [&] { return xy.Move(1, 2, 1); }},
        {"report", StageMember::GetXY, [&] { return xy.Report(&x, &y); }},
        {"x step", StageMember::StepX, [&] { return xy.XStep(1); }},
        {"y step", StageMember::StepY, [&] { return xy.YStep(1); }},
        {"origin", StageMember::SetXY, [&] { return xy.Origin(); }},
        {"speed", StageMember::Speed, [&] { return xy.SetSpeed(50); }},
    };
    // Each command, with every member it calls.
    const struct {
        int command;
        std::vector<const ServerMember*> members;
    } commands[] = {
        {0, {&ScanMember::ScanCommand}},
        {1, {&StageMember::MoveXY, &StageMember::SetXY}},
        {2, {&StageMember::StageQuery, &StageMember::MoveXY}},
        {3,
         {&StageMember::RunX, &StageMember::RunY, &StageMember::SetXY, &StageMember::TravelX,
          &StageMember::TravelY, &StageMember::MoveXY}},
        {4, {&StageMember::MoveXY}},
    };
    for (const auto& command : commands) {
        for (const ServerMember* member : command.members) {
            const int number = command.command;
            cases.push_back({"command " + std::to_string(number) + " " + member->name, *member,
                             [this, number] { return xy.Command(number); }});
        }
    }
    for (const auto& c : cases) {
        for (HRESULT fault : {E_FAIL, DISP_E_EXCEPTION, RPC_E_DISCONNECTED}) {
            Sim().SetFault(ObjectOf(c.member), c.member.dispid, fault);
            Sim().JournalClear();
            EXPECT_EQ(c.call(), 1) << c.what << " " << std::hex << fault;
            const std::vector<SimCall> calls = Journal();
            ASSERT_FALSE(calls.empty()) << c.what;
            EXPECT_EQ(calls.back().dispid, c.member.dispid)
                << c.what << ": nothing after the refusal";
            EXPECT_EQ(calls.back().result, fault) << c.what;
            Sim().SetFault(ObjectOf(c.member), c.member.dispid, S_OK);
        }
        EXPECT_EQ(c.call(), 0) << c.what << " works again";
    }
}

TEST_F(BoundStage, RefusedClosePortStillGivesEveryReferenceBack) {
    Sim().SetFault(SimScan, ScanMember::ClosePort.dispid, DISP_E_EXCEPTION);
    EXPECT_EQ(xy.Close(), 0);
    EXPECT_EQ(Sim().LiveObjects(), 0);
    EXPECT_EQ(xy.Move(1, 1, 0), 1) << "nothing bound after the close";
}

TEST_F(BoundStage, NullOutPointersAreNotWrittenThrough) {
    Sim().SetStagePosition(12.0, -7.0);
    int y = 0x5A5A5A5A;
    EXPECT_EQ(xy.Report(nullptr, &y), 0);
    EXPECT_EQ(y, -7);
    int x = 0x5A5A5A5A;
    EXPECT_EQ(xy.Report(&x, nullptr), 0);
    EXPECT_EQ(x, 12);
    EXPECT_EQ(xy.Report(nullptr, nullptr), 0);
    double cx = -3.0;
    EXPECT_EQ(xy.Calib(&cx, nullptr), 0);
    EXPECT_DOUBLE_EQ(cx, 1.0);
    double cy = -3.0;
    EXPECT_EQ(xy.Calib(nullptr, &cy), 0);
    EXPECT_DOUBLE_EQ(cy, 1.0);
    EXPECT_EQ(xy.Type(nullptr), 0);
}

TEST_F(UnboundStage, InitGivesReferencesBackWhenTheStartUpExchangeFails) {
    driver.SetIni("Port", "0");
    // A refused open, or a server gone during the exchange after it.
    // Each failure marks the port; another port gets the next try.
    const struct {
        const ServerMember& member;
        HRESULT answer;
        const char* nextPort;
    } failures[] = {{ScanMember::OpenPort, DISP_E_EXCEPTION, "1"},
                    {ScanMember::LinkValue, RPC_E_DISCONNECTED, "2"},
                    {ScanMember::LinkReady, RPC_E_DISCONNECTED, "3"}};
    for (const auto& [member, answer, nextPort] : failures) {
        Sim().SetFault(SimScan, member.dispid, answer);
        EXPECT_EQ(xy.Init(nullptr), -1) << member.name;
        EXPECT_EQ(Sim().LiveObjects(), 0) << member.name;
        Sim().SetFault(SimScan, member.dispid, S_OK);
        driver.SetIni("Port", nextPort);
    }
    EXPECT_EQ(xy.Init(nullptr), 0);
    xy.Close();
}
