// The field probe (tolvo-host probe) against the simulator, in process and as
// a local server, in strict and lenient argument mode and against each server
// variant: the verdict of the lines that matter, how many differences of each
// kind, the exit status, and that it made only the calls that move nothing.
#include <gtest/gtest.h>
#include "host/probe_command.h"
#include "sim/journal/journal_text.h"
#include "sim_server.h"
#include "test_support.h"
#include <objbase.h>
#include <fstream>
#include <functional>
#include <sstream>

namespace {
// A line the report must hold: its verdict word and a part of its text.
struct Expected {
    const char* verdict;
    const char* text;
};

struct ProbeCase {
    const char* name;
    int variant;
    bool strict;
    bool openPort;
    int exitStatus;
    int harmless; // differ harmlessly
    int fails;    // differ so that an export fails
    int missing;
    int skipped;
    std::vector<Expected> lines;
    std::function<void()> arrange = [] {};
};

// Whether a journal line is a call the probe may make; the journal writes
// GetBusy polls as "wait".
bool SafeCall(const std::string& call, bool openPort) {
    if (call == "wait") {
        return true;
    }
    for (const char* safe :
         {"scan.GetBusy(", "stage.GetXY(", "focus.Position", "filter.WheelPositionCount?("}) {
        if (call.find(safe) != std::string::npos) {
            return true;
        }
    }
    const bool linkCall = call.find("scan.OpenPort(") != std::string::npos ||
                          call.find("scan.LinkValue") != std::string::npos ||
                          call.find("scan.ClosePort(") != std::string::npos;
    return openPort && linkCall;
}

const char* Word(Verdict verdict) {
    return verdict == Verdict::Ok        ? "ok"
           : verdict == Verdict::Missing ? "missing"
           : verdict == Verdict::Skipped ? "skipped"
                                         : "differs";
}

void ExpectReport(const ProbeCase& c, const ProbeReport& report) {
    SCOPED_TRACE(report.Text());
    EXPECT_EQ(c.exitStatus, report.ExitStatus());
    EXPECT_EQ(c.harmless, report.Count(Verdict::Harmless));
    EXPECT_EQ(c.fails, report.Count(Verdict::Fails));
    EXPECT_EQ(c.missing, report.Count(Verdict::Missing));
    EXPECT_EQ(c.skipped, report.Count(Verdict::Skipped));
    for (const Expected& expected : c.lines) {
        bool found = false;
        for (const ProbeLine& line : report.lines()) {
            found = found || (std::string(Word(line.verdict)) == expected.verdict &&
                              line.text.find(expected.text) != std::string::npos);
        }
        EXPECT_TRUE(found) << "no line: " << expected.verdict << " ... " << expected.text;
    }
}

ProbeOptions OptionsFor(const ProbeCase& c) {
    ProbeOptions options;
    options.link.open = c.openPort;
    options.link.portArgument = 1;
    return options;
}

// The lines every variant shares, in process or not.
const Expected kTypesFromObject{"ok", "tolvo.Z: type information from the object itself"};

const ProbeCase kInProcessCases[] = {
    {"Lenient",
     SimAsTabled,
     false,
     false,
     0,
     0,
     0,
     0,
     1,
     {{"ok", "tolvo.scan: in-process server "},
      {"ok", "tolvo.scan: bound to a new instance (no running one: GetActiveObject 0x800401E3 "
             "MK_E_UNAVAILABLE), served in this process"},
      kTypesFromObject,
      {"ok", "scan.GetBusy (DISPID 2, method): 1 argument(s) VT_I4 by reference as the driver"},
      {"ok", "call scan.GetBusy: busy 0 (VT_I4 through the reference)"},
      {"ok", "call stage.GetXY: x 120.5 (VT_R8 through the reference), y -3"},
      {"ok", "call filter.WheelPositionCount(1): 8 as VT_I2"},
      {"skipped", "call scan.LinkValue: not read"}},
     [] {
         Sim().SetStagePosition(120.5, -3);
         Sim().SetWheelPositionCount(1, 8);
     }},
    {"StrictWithOpenPort",
     SimAsTabled,
     true,
     true,
     0,
     0,
     0,
     0,
     0,
     {{"ok", "call scan.OpenPort(1): status 0: the link is open"},
      {"ok", "call scan.LinkValue: 1 as VT_R4"},
      {"ok", "call scan.ClosePort: the link is closed again"}}},
    {"RunningInstance",
     SimAsTabled,
     true,
     false,
     0,
     0,
     0,
     0,
     1,
     {{"ok", "tolvo.stage: bound to the running instance (GetActiveObject), served in this "
             "process"}}},
    // Every method answers VT_I2 and every get another type: each differs,
    // and the driver copes with all of them.
    {"OtherTypes",
     SimOtherTypes,
     false,
     true,
     0,
     30,
     0,
     0,
     0,
     {{"differs", "focus.Position (DISPID 12, get): its value is VT_R4, tabled VT_R8: the driver "
                  "converts it (harmless)"},
      {"differs", "stage.TravelX (DISPID 16, get): its value is VT_BSTR, tabled VT_R8"},
      {"differs", "call scan.GetBusy: busy 0 as VT_I2 in place of the reference: the driver "
                  "takes the answer from there (harmless)"},
      {"differs", "call stage.GetXY: x 12.5 as VT_R4 in place of the reference"},
      {"differs", "call scan.OpenPort(1): status 0 as VT_I2 in place of the reference: the link "
                  "is open; the driver takes the status from there (harmless)"},
      {"differs", "call scan.LinkValue: 1 as VT_R8: the driver converts it to VT_R4, 1 (harmless)"},
      {"differs", "call filter.WheelPositionCount(1): 10 as VT_I4: the driver converts it to "
                  "VT_I2, 10 (harmless)"},
      {"ok", "stage.Speed (DISPID 9, put)"}},
     [] { Sim().SetStagePosition(12.5, 0); }},
    {"StrictOtherTypes", SimOtherTypes, true, false, 0, 28, 0, 0, 1, {}},
    {"MissingMember",
     SimMissingMember,
     true,
     false,
     1,
     0,
     0,
     1,
     1,
     {{"missing", "focus.StepNegative (DISPID 16, method): not in the type information; fails: "
                  "StgZStep downwards returns 1"},
      {"ok", "focus.StepPositive (DISPID 17, method)"}}},
    {"RefusedCall",
     SimRefusedCall,
     false,
     false,
     1,
     0,
     1,
     0,
     1,
     {{"ok", "tolvo.stage: type information from the registered type library "
             "{AC61E77E-19E4-4747-895D-B1220191ACF4} 1.0 (the object offers none): interface "
             "TolvoStage"},
      {"differs", "call stage.GetXY: refused: 0x80020009 DISP_E_EXCEPTION, tolvo.stage: \"The "
                  "controller refused GetXY (simulated failure).\" (the link was not open; "
                  "--open-port opens it first); fails: StgXYReport returns 1"}}},
    {"RefusedPort",
     SimAsTabled,
     true,
     true,
     1,
     0,
     1,
     0,
     1,
     {{"differs", "call scan.OpenPort(1): status -1: the link did not open on this port"},
      {"skipped", "call scan.LinkValue"}},
     [] { Sim().SetOpenablePorts(0); }},
    {"FilterNotRegistered",
     SimAsTabled,
     true,
     false,
     1,
     0,
     0,
     1,
     1,
     {{"missing", "tolvo.filter: not registered (CLSIDFromProgID 0x800401F3 CO_E_CLASSSTRING); "
                  "fails: FWInit returns 0 or 1"}},
     [] { Sim().SetClassRegistered(SimFilter, FALSE); }},
    {"EmptyValues",
     SimEmptyValues,
     false,
     true,
     1,
     1,
     2,
     0,
     0,
     {{"differs", "call focus.Position: no value (VT_EMPTY); fails: StgZReport and StgZOrigin "
                  "return 1"},
      {"differs", "call filter.WheelPositionCount(1): no value (VT_EMPTY); fails: FWGetCount "
                  "keeps the stored count"},
      {"differs", "call scan.LinkValue: no value (VT_EMPTY): the driver does not use it "
                  "(harmless)"}}},
};

class FieldProbe : public ::testing::TestWithParam<ProbeCase> {
  protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        Sim().Reset();
    }
    void TearDown() override {
        Sim().SetVariant(SimAsTabled);
        Sim().SetStrictArguments(TRUE);
        Sim().Reset();
        CoUninitialize();
    }
};

TEST_P(FieldProbe, InProcess) {
    const ProbeCase& c = GetParam();
    ASSERT_EQ(S_OK, Sim().SetVariant(c.variant));
    Sim().SetStrictArguments(c.strict ? TRUE : FALSE);
    c.arrange();
    std::unique_ptr<RunningInstance> running;
    if (std::string(c.name) == "RunningInstance") {
        running = std::make_unique<RunningInstance>(SimStage);
        ASSERT_TRUE(running->registered());
    }
    Sim().JournalClear();
    const ProbeReport report = RunProbe(OptionsFor(c));
    ExpectReport(c, report);
    for (const std::string& call : Trace()) {
        EXPECT_TRUE(SafeCall(call, c.openPort)) << call;
    }
    EXPECT_FALSE(Sim().IsLinkOpen()) << "the probe leaves no link open";
    if (!c.openPort) {
        EXPECT_EQ(-1, Sim().LastOpenedPort()) << "no port opened unless asked";
    }
    running.reset();
    EXPECT_EQ(0, Sim().LiveObjects()) << "every object given back";
}

INSTANTIATE_TEST_SUITE_P(Simulator, FieldProbe, ::testing::ValuesIn(kInProcessCases),
                         [](const ::testing::TestParamInfo<ProbeCase>& info) {
                             return std::string(info.param.name);
                         });

// The command as the integrator runs it: the report file holds what it
// printed, with Windows line ends, and the status says whether exports fail.
TEST(FieldProbeCommand, WritesTheReportAndGivesTheStatus) {
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    Sim().Reset();
    ASSERT_EQ(S_OK, Sim().SetVariant(SimMissingMember));
    TempFolder folder;
    std::string path = folder.path() + "\\support report.txt";
    char probe[] = "probe";
    char out[] = "--out";
    char* args[] = {probe, out, &path[0]};
    EXPECT_EQ(1, RunProbeCommand(2, args + 1));
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    EXPECT_NE(std::string::npos,
              text.str().find("\r\nmissing  focus.StepNegative (DISPID 16, method)"));
    EXPECT_NE(std::string::npos,
              text.str().find("\r\nverdict: 1 difference(s) would make exports fail\r\n"));
    Sim().SetVariant(SimAsTabled);
    EXPECT_EQ(0, RunProbeCommand(2, args + 1));

    char open[] = "--open-port";
    char bad[] = "COM1";
    char* badArgs[] = {open, bad};
    EXPECT_EQ(2, RunProbeCommand(2, badArgs));
    char* noPath[] = {out};
    EXPECT_EQ(2, RunProbeCommand(1, noPath));
    Sim().Reset();
    CoUninitialize();
}

// The same checks with the simulator served out of process: objects bound
// across processes, type information through the proxy.
const ProbeCase kLocalServerCases[] = {
    {"Strict",
     SimAsTabled,
     true,
     false,
     0,
     0,
     0,
     0,
     1,
     {{"ok", "tolvo.scan: local server "},
      {"ok", "tolvo.scan: bound to a new instance (no running one: GetActiveObject 0x800401E3 "
             "MK_E_UNAVAILABLE), served by another process"},
      kTypesFromObject,
      {"ok", "call scan.GetBusy: busy 0 (VT_I4 through the reference)"}}},
    {"LenientWithOpenPort",
     SimAsTabled,
     false,
     true,
     0,
     0,
     0,
     0,
     0,
     {{"ok", "call scan.LinkValue: 1 as VT_R4"}}},
    {"OtherTypes",
     SimOtherTypes,
     false,
     true,
     0,
     30,
     0,
     0,
     0,
     {{"differs", "call scan.GetBusy: busy 0 as VT_I2 in place of the reference"},
      {"differs", "call stage.GetXY: x 0 as VT_R4 in place of the reference"}}},
    {"MissingMember",
     SimMissingMember,
     true,
     false,
     1,
     0,
     0,
     1,
     1,
     {{"missing", "focus.StepNegative (DISPID 16, method)"}}},
    {"RefusedCall",
     SimRefusedCall,
     true,
     false,
     1,
     0,
     1,
     0,
     1,
     {{"ok", "tolvo.Z: type information from the registered type library"},
      {"differs", "call stage.GetXY: refused: 0x80020009 DISP_E_EXCEPTION"}}},
};

class FieldProbeLocalServer : public ::testing::TestWithParam<ProbeCase> {
  protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        ASSERT_TRUE(RegisterLocalServer());
    }
    void TearDown() override {
        server.Disconnect();
        reached.ExpectAllEnded(10000, 77);
        EXPECT_TRUE(RestoreInProcessServer());
        CoUninitialize();
    }
    SimServer server;
    ReachedServers reached;
};

TEST_P(FieldProbeLocalServer, OutOfProcess) {
    const ProbeCase& c = GetParam();
    ASSERT_NE(nullptr, reached.Connect(server));
    server.SetVariant(c.variant);
    server.SetStrictArguments(c.strict);
    server.ClearJournal();
    const ProbeReport report = RunProbe(OptionsFor(c));
    ExpectReport(c, report);
    for (const std::string& call : server.Journal()) {
        EXPECT_TRUE(SafeCall(call, c.openPort)) << call;
    }
    EXPECT_FALSE(server.IsLinkOpen());
    if (!c.openPort) {
        EXPECT_EQ(-1, server.LastOpenedPort());
    }
}

INSTANTIATE_TEST_SUITE_P(Simulator, FieldProbeLocalServer, ::testing::ValuesIn(kLocalServerCases),
                         [](const ::testing::TestParamInfo<ProbeCase>& info) {
                             return std::string(info.param.name);
                         });
} // namespace
