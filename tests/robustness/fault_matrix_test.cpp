// Every fault the simulator can inject, and each of its server variants, under
// every device family, in the host's call order: get instances, init, operate, close. Each case
// checks the code, the duration against the time-out, that a failed operation changes neither the
// roster nor a file, and that every object is given back.
#include <gtest/gtest.h>
#include "config_api.h"
#include "driver_api.h"
#include "robust_support.h"
#include "sim_objects.h"
#include <functional>
#include <string>
#include <vector>

namespace {

enum class Family { XY, ZStage, ZDevice, Shutter, Wheel };
const char* FamilyName(Family f) {
    static const char* const names[] = {"XY", "ZStage", "ZDevice", "Shutter", "Wheel"};
    return names[static_cast<int>(f)];
}

constexpr DWORD kXYTimeOut = 400; // written as TimeOut into STolvo.INI
constexpr DWORD kFocusWaitMs = 5000;
constexpr DWORD kQuickCall = 1000; // calls that do not wait

// A member the driver calls, from the tables; the object is the one whose table holds it.
using Member = const ServerMember*;

void SetFault(Member m, HRESULT hr) {
    Sim().SetFault(ObjectOf(*m), m->dispid, hr);
}

// One operation of a family after a good init: what it calls, its code when
// one of those calls fails, and its time-out.
struct Operation {
    const char* name;
    std::vector<Member> members;
    int failedCode;
    DWORD limitMs;
    std::function<int(const LoadedDriver&)> call;
    int doneCode = 0;
    bool sendsAfterFailedOpen = true; // false: the state it asks for is the recorded one
};

std::vector<Operation> Operations(Family family) {
    switch (family) {
    case Family::XY:
        return {{"Move",
                 {&StageMember::MoveXY, &ScanMember::GetBusy},
                 1,
                 kXYTimeOut,
                 [](const LoadedDriver& d) { return XYApi(d).Move(100, -250, 1); }},
                {"Report",
                 {&StageMember::GetXY},
                 1,
                 kQuickCall,
                 [](const LoadedDriver& d) {
                     int x = 0;
                     int y = 0;
                     return XYApi(d).Report(&x, &y);
                 }},
                {"XStep",
                 {&StageMember::StepX, &ScanMember::GetBusy},
                 1,
                 kXYTimeOut,
                 [](const LoadedDriver& d) { return XYApi(d).XStep(7); }},
                {"YStep",
                 {&StageMember::StepY, &ScanMember::GetBusy},
                 1,
                 kXYTimeOut,
                 [](const LoadedDriver& d) { return XYApi(d).YStep(-7); }},
                {"Origin",
                 {&StageMember::SetXY},
                 1,
                 kQuickCall,
                 [](const LoadedDriver& d) { return XYApi(d).Origin(); }},
                {"SetSpeed", {&StageMember::Speed}, 1, kQuickCall, [](const LoadedDriver& d) {
                     return XYApi(d).SetSpeed(50);
                 }}};
    case Family::ZStage:
    case Family::ZDevice:
        return {{"Move",
                 {&FocusMember::MoveTo, &ScanMember::GetBusy},
                 1,
                 kFocusWaitMs,
                 [](const LoadedDriver& d) { return FocusApi(d).Move(300, 0); }},
                {"Report",
                 {&FocusMember::Position},
                 1,
                 kQuickCall,
                 [](const LoadedDriver& d) {
                     int z = 0;
                     return FocusApi(d).Report(&z);
                 }},
                {"StepUp",
                 {&FocusMember::StepPositive},
                 1,
                 kFocusWaitMs,
                 [](const LoadedDriver& d) { return FocusApi(d).Step(5); }},
                {"StepDown",
                 {&FocusMember::StepNegative},
                 1,
                 kFocusWaitMs,
                 [](const LoadedDriver& d) { return FocusApi(d).Step(-5); }},
                {"Origin", {&FocusMember::Position}, 1, kQuickCall, [](const LoadedDriver& d) {
                     return FocusApi(d).Origin();
                 }}};
    case Family::Shutter:
        return {{"Open",
                 {&ScanMember::SetShutter},
                 1,
                 kQuickCall,
                 [](const LoadedDriver& d) { return ShutterApi(d).SetOpen(0, 1); }},
                {"Shut",
                 {&ScanMember::SetShutter},
                 1,
                 kQuickCall,
                 [](const LoadedDriver& d) { return ShutterApi(d).SetOpen(0, 0); },
                 0,
                 false}};
    case Family::Wheel:
        // A count the controller cannot tell leaves the stored one: 10.
        return {{"SetPosition",
                 {&FilterMember::MoveWheel},
                 1,
                 kQuickCall,
                 [](const LoadedDriver& d) { return WheelApi(d).SetPosition(0, 3); }},
                {"GetCount",
                 {&FilterMember::WheelPositionCount},
                 10,
                 kQuickCall,
                 [](const LoadedDriver& d) { return WheelApi(d).GetCount(0); },
                 10}};
    }
    return {};
}

// The settings a family needs to initialise on "COMM 1".
void Configure(Family family, const LoadedDriver& driver) {
    driver.SetIni("Port", "0");
    driver.SetIni("TimeOut", std::to_string(kXYTimeOut).c_str());
    if (family == Family::ZDevice) {
        driver.SetFileKey("KROHW.INI", "Focus", "Module", "STolvo32.dll");
    }
    driver.SetIni("Name", "Excitation", "Shutter1");
    driver.SetIni("ShutterNumber", "0", "Shutter1");
    driver.SetIni("Name", "Cubes", "FilterWheel1");
    driver.SetIni("NumberPositions", "10", "FilterWheel1");
    driver.WriteSet("Cubes", "FilterWheel1", "Cube");
}

int GetInstances(Family family, const LoadedDriver& driver) {
    if (family == Family::Shutter) {
        return ShutterApi(driver).GetInstance(0);
    }
    if (family == Family::Wheel) {
        return WheelApi(driver).GetInstance(0);
    }
    return 0;
}

int Init(Family family, const LoadedDriver& driver) {
    switch (family) {
    case Family::XY:
        return XYApi(driver).Init(nullptr);
    case Family::ZStage:
        // The host starts the XY stage first; the focus then shares its line.
        XYApi(driver).Init(nullptr);
        return FocusApi(driver).Init(nullptr);
    case Family::ZDevice:
        // A device family loads the line settings the device-path focus uses.
        ShutterApi(driver).GetInstance(0);
        ShutterApi(driver).Init(0, nullptr);
        return FocusApi(driver).Init(nullptr);
    case Family::Shutter:
        return ShutterApi(driver).Init(0, nullptr);
    case Family::Wheel:
        return WheelApi(driver).Init(0, nullptr);
    }
    return 99;
}

int Close(Family family, const LoadedDriver& driver) {
    switch (family) {
    case Family::XY:
        return XYApi(driver).Close();
    case Family::ZStage:
        FocusApi(driver).Close();
        return XYApi(driver).Close();
    case Family::ZDevice:
        FocusApi(driver).Close();
        return ShutterApi(driver).Close(0);
    case Family::Shutter:
        return ShutterApi(driver).Close(0);
    case Family::Wheel:
        return WheelApi(driver).Close(0);
    }
    return 99;
}

// A fault met during init, and the code init then gives.
struct InitFault {
    const char* name;
    std::function<void()> inject;
    int code[5]; // by Family
    bool focusOnly = false;
};
const HRESULT kFailures[] = {E_FAIL, DISP_E_EXCEPTION, RPC_E_DISCONNECTED};

std::vector<InitFault> InitFaults() {
    std::vector<InitFault> faults = {
        {"ScanNotRegistered",
         [] { Sim().SetClassRegistered(SimScan, FALSE); },
         {-1, -1, -1, -1, -1}},
        {"StageNotRegistered",
         [] { Sim().SetClassRegistered(SimStage, FALSE); },
         {-1, -1, -1, -1, -1}},
        {"ScanNotCreatable",
         [] { Sim().SetCreationFault(SimScan, E_OUTOFMEMORY); },
         {-1, -1, -1, -1, -1}},
        {"StageNotCreatable",
         [] { Sim().SetCreationFault(SimStage, CLASS_E_CLASSNOTAVAILABLE); },
         {-1, -1, -1, -1, -1}},
        {"FocusNotCreatable",
         [] { Sim().SetCreationFault(SimFocus, E_OUTOFMEMORY); },
         {0, 0, 0, 0, 0},
         true},
        {"FocusNotRegistered",
         [] { Sim().SetClassRegistered(SimFocus, FALSE); },
         {1, 1, 1, 1, 1},
         true},
        {"FilterNotCreatable",
         [] { Sim().SetCreationFault(SimFilter, E_OUTOFMEMORY); },
         {0, 0, 0, 0, 1}},
        {"FilterNotRegistered",
         [] { Sim().SetClassRegistered(SimFilter, FALSE); },
         {0, 0, 0, 0, 0}},
        {"OpenPortNegative", [] { Sim().SetOpenablePorts(0); }, {-1, -1, -1, -1, -1}},
    };
    for (const Member m : {&ScanMember::OpenPort, &ScanMember::LinkValue, &ScanMember::LinkReady}) {
        for (const HRESULT hr : kFailures) {
            // The start-up exchange after the open fails the link only when
            // the server has gone; an open that fails fails it always.
            const int code = m == &ScanMember::OpenPort || hr == RPC_E_DISCONNECTED ? -1 : 0;
            faults.push_back(
                {"LinkMemberFails", [m, hr] { SetFault(m, hr); }, {code, code, code, code, code}});
        }
    }
    return faults;
}

struct MatrixCase {
    Family family;
    std::string label;
    int initFault; // index into InitFaults(), or -1
    int operation; // index into Operations(family), or -1
    Member member = nullptr;
    HRESULT hr = S_OK;
    bool busyForever = false;
    bool allMembersGone = false; // every member of every object answers RPC_E_DISCONNECTED
    int variant = SimAsTabled;   // the server variant the whole case runs against
};

// The member each server variant lacks or refuses; the other variants' answers
// all convert, so every operation is done.
bool VariantFails(int variant, Member m) {
    const Member failing = variant == SimMissingMember ? &FocusMember::StepNegative
                           : variant == SimRefusedCall ? &StageMember::GetXY
                           : variant == SimEmptyValues ? &FocusMember::Position
                                                       : nullptr;
    // An empty wheel count leaves the stored one, as a failed read does.
    const bool emptyCount = variant == SimEmptyValues && m == &FilterMember::WheelPositionCount;
    return emptyCount || m == failing;
}

std::vector<MatrixCase> AllCases() {
    std::vector<MatrixCase> cases;
    const Family families[] = {Family::XY, Family::ZStage, Family::ZDevice, Family::Shutter,
                               Family::Wheel};
    const auto initFaults = InitFaults();
    for (const Family family : families) {
        const bool focus = family == Family::ZStage || family == Family::ZDevice;
        for (size_t i = 0; i < initFaults.size(); ++i) {
            if (initFaults[i].focusOnly && !focus) {
                continue; // only the focus family binds tolvo.Z
            }
            cases.push_back({family, std::string("init_") + initFaults[i].name + std::to_string(i),
                             static_cast<int>(i), -1});
        }
        const auto operations = Operations(family);
        for (size_t op = 0; op < operations.size(); ++op) {
            for (const Member m : operations[op].members) {
                for (const HRESULT hr : kFailures) {
                    // Focus waits take their full five seconds: one kind of busy failure each.
                    if (focus && m == &ScanMember::GetBusy && hr != RPC_E_DISCONNECTED) {
                        continue;
                    }
                    char label[64];
                    std::snprintf(label, sizeof label, "%s_%d_%d_%08lx", operations[op].name,
                                  ObjectOf(*m), static_cast<int>(m->dispid),
                                  static_cast<unsigned long>(hr));
                    cases.push_back({family, label, -1, static_cast<int>(op), m, hr});
                }
            }
        }
        if (family == Family::XY || family == Family::ZStage) {
            MatrixCase busy{family, "BusyForever", -1, 0};
            busy.busyForever = true;
            cases.push_back(busy);
        }
        MatrixCase gone{family, "ServerGone", -1, 0};
        gone.allMembersGone = true;
        cases.push_back(gone);
        MatrixCase closeFails{family, "ClosePortFails", -1, -1};
        closeFails.member = &ScanMember::ClosePort;
        closeFails.hr = DISP_E_EXCEPTION;
        cases.push_back(closeFails);
        const char* const variants[] = {"", "OtherTypes", "MissingMember", "RefusedCall",
                                        "EmptyValues"};
        for (const int variant :
             {SimOtherTypes, SimMissingMember, SimRefusedCall, SimEmptyValues}) {
            MatrixCase against{family, std::string("Variant") + variants[variant], -1, -1};
            against.variant = variant;
            cases.push_back(against);
        }
    }
    return cases;
}

class FaultMatrix : public ::testing::TestWithParam<MatrixCase> {
  protected:
    void SetUp() override { Sim().Reset(); }
    void TearDown() override {
        Sim().SetVariant(SimAsTabled);
        Sim().Reset();
        EXPECT_EQ(LeakedAfterUnload(driver), 0) << "every reference is given back";
        ++Figures().matrixCases;
    }
    void ExpectLinkFlagsAgree() const {
        const LinkState link = ReadLinkState(driver);
        if (link.connected == 1) {
            EXPECT_TRUE(Sim().IsLinkOpen()) << "Connected while the link is closed";
        }
    }

    LoadedDriver driver{"STolvo32Probe.dll"};
    ConfigProbe probe{driver};
};

// Every DISPID of every table on every object, so that also a call on the
// wrong object meets the fault.
void InjectEverywhere(HRESULT hr) {
    for (const SimObject& object : kSimObjects) {
        for (const SimObject& table : kSimObjects) {
            for (const ServerMember* member : MembersOf(*table.members)) {
                Sim().SetFault(object.kind, member->dispid, hr);
            }
        }
    }
}

TEST_P(FaultMatrix, HostCallOrderSurvives) {
    const MatrixCase& c = GetParam();
    Configure(c.family, driver);
    EXPECT_EQ(Timed(kQuickCall, [&] { return GetInstances(c.family, driver); }), 0);

    if (c.initFault >= 0) {
        const InitFault fault = InitFaults()[c.initFault];
        fault.inject();
        const FolderSnapshot files = SnapshotFolder(driver.folder());
        EXPECT_EQ(Timed(kQuickCall, [&] { return Init(c.family, driver); }),
                  fault.code[static_cast<int>(c.family)]);
        ExpectLinkFlagsAgree();
        EXPECT_EQ(Timed(kQuickCall, [&] { return Close(c.family, driver); }), 0);
        EXPECT_EQ(FolderDifferences(files, SnapshotFolder(driver.folder())), "");
        EXPECT_FALSE(Sim().IsLinkOpen() && ReadLinkState(driver).connected == 0 &&
                     fault.code[static_cast<int>(c.family)] != 0)
            << "a failed init leaves no link open behind the driver's back";
        return;
    }

    ASSERT_EQ(S_OK, Sim().SetVariant(c.variant));
    ASSERT_EQ(Init(c.family, driver), 0);
    const auto operations = Operations(c.family);
    const FolderSnapshot files = SnapshotFolder(driver.folder());
    if (c.busyForever) {
        Sim().SetBusyForever(TRUE);
    } else if (c.allMembersGone) {
        InjectEverywhere(RPC_E_DISCONNECTED);
    } else if (c.operation < 0 && c.variant == SimAsTabled) {
        SetFault(c.member, c.hr);
    }

    for (size_t op = 0; op < operations.size(); ++op) {
        const Operation& operation = operations[op];
        const bool target =
            static_cast<int>(op) == c.operation && !c.busyForever && !c.allMembersGone;
        if (target) {
            SetFault(c.member, c.hr);
        }
        // A failed busy poll ends nothing by itself: the wait runs out and the
        // motion still counts as done, as it does when the controller stays busy.
        const bool waitOnly = target && c.member == &ScanMember::GetBusy;
        const DeviceRosterTable roster = probe.Roster();
        int expected = operation.doneCode;
        if (c.allMembersGone) {
            expected = operation.sendsAfterFailedOpen ? operation.failedCode : 0;
        } else if (target && !waitOnly) {
            expected = operation.failedCode;
        }
        for (const Member m : operation.members) {
            expected = VariantFails(c.variant, m) ? operation.failedCode : expected;
        }
        const int code = Timed(operation.limitMs, [&] { return operation.call(driver); });
        EXPECT_EQ(code, expected) << operation.name;
        if (target) {
            SetFault(c.member, S_OK);
            if (expected != 0) {
                EXPECT_TRUE(SameRoster(roster, probe.Roster())) << operation.name;
            }
        }
        EXPECT_TRUE(RosterNamesTerminated(probe.Roster()));
        ExpectLinkFlagsAgree();
        if (c.busyForever) {
            break; // one waited motion is the case; the others wait alike
        }
    }
    EXPECT_EQ(Timed(kQuickCall, [&] { return Close(c.family, driver); }), 0);
    EXPECT_EQ(FolderDifferences(files, SnapshotFolder(driver.folder())), "")
        << "no operation writes a file";
    ExpectLinkFlagsAgree();
}

INSTANTIATE_TEST_SUITE_P(AllFamilies, FaultMatrix, ::testing::ValuesIn(AllCases()),
                         [](const ::testing::TestParamInfo<MatrixCase>& info) {
                             return std::string(FamilyName(info.param.family)) + "_" +
                                    info.param.label + "_" + std::to_string(info.index);
                         });
} // namespace
