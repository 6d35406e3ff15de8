// The diagnostic trace: off unless switched on; then every export call and
// every dispatch call, to the debugger's output and to a bounded file.
#include <gtest/gtest.h>
#include "driver_api.h"
#include "core/scan_members.h"
#include "core/stage_members.h"
#include "ui/stage_page.h"
#include "stolvo_version.h"
#include <cstdio>
#include <cstring>
#include <regex>
#include <set>
#include <sstream>

namespace {
using Lines = std::vector<std::string>;

// OutputDebugStringA raises DBG_PRINTEXCEPTION_C, which a vectored handler
// sees before the system's own handler swallows it.
Lines debugLines;

LONG CALLBACK CatchDebugOutput(EXCEPTION_POINTERS* pointers) {
    const EXCEPTION_RECORD* record = pointers->ExceptionRecord;
    if (record->ExceptionCode == DBG_PRINTEXCEPTION_C && record->NumberParameters >= 2) {
        const char* text = reinterpret_cast<const char*>(record->ExceptionInformation[1]);
        if (text != nullptr && std::strncmp(text, "STolvo32 ", 9) == 0) {
            std::string line(text);
            EXPECT_EQ(line.back(), '\n') << "one call per line, with its end";
            if (line.back() == '\n') {
                line.pop_back();
            }
            debugLines.push_back(line);
        }
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

// A line without its "STolvo32 hh:mm:ss.mmm [thread] " prefix.
std::string Body(const std::string& line) {
    const size_t end = line.find("] ");
    return end == std::string::npos ? line : line.substr(end + 2);
}

Lines Bodies(const Lines& lines) {
    Lines bodies;
    for (const std::string& line : lines) {
        bodies.push_back(Body(line));
    }
    return bodies;
}

// Index of the first body that starts with `start` (after indentation), or -1.
int Find(const Lines& bodies, const std::string& start, int from = 0) {
    for (int i = from; i < static_cast<int>(bodies.size()); ++i) {
        const size_t text = bodies[i].find_first_not_of(' ');
        if (text != std::string::npos && bodies[i].compare(text, start.size(), start) == 0) {
            return i;
        }
    }
    return -1;
}

std::string Joined(const Lines& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\n";
    }
    return text;
}

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The file's text as it is now; the driver keeps it open for appending.
std::string FileText(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return "";
    }
    std::string text;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) {
        text.append(buffer, read);
    }
    CloseHandle(file);
    return text;
}

Lines FileLines(const std::string& path) {
    Lines lines;
    std::istringstream in(FileText(path));
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
    }
    return lines;
}

class TraceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Sim().Reset();
        SetEnvironmentVariableA("STOLVO_TRACE", nullptr);
        debugLines.clear();
        handler_ = AddVectoredExceptionHandler(1, CatchDebugOutput);
        driver.SetIni("Port", "0");
    }
    void TearDown() override {
        driver.Unload();
        Sim().SetClassRegistered(SimFocus, TRUE);
        RemoveVectoredExceptionHandler(handler_);
        SetEnvironmentVariableA("STOLVO_TRACE", nullptr);
    }
    void SwitchIni(const char* value) const { driver.SetIni("Trace", value, "Diagnostics"); }
    std::string TracePath() const { return driver.folder() + "\\STolvoTrace.log"; }
    std::string OldTracePath() const { return driver.folder() + "\\STolvoTrace.old.log"; }

    // What a host does with a stage: open, move, read, close.
    void StageSession() {
        ASSERT_EQ(xy.Init(nullptr), 0);
        EXPECT_EQ(xy.Move(1000, -250, 1), 0);
        int x = 0;
        int y = 0;
        EXPECT_EQ(xy.Report(&x, &y), 0);
        EXPECT_EQ(xy.Close(), 0);
    }

    // In a window of its own, as the host's configuration window shows it.
    void ShowAndCloseStagePage() const {
        HWND parent = CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400,
                                      nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(parent, nullptr);
        auto configure = driver.Fn<decltype(&StgXYConfigure)>("StgXYConfigure");
        EXPECT_EQ(configure(parent, 20, 1), 0);
        EXPECT_EQ(configure(parent, 20, 0), 0);
        DestroyWindow(parent);
    }

    LoadedDriver driver;
    XYApi xy{driver};

  private:
    void* handler_ = nullptr;
};
} // namespace

TEST_F(TraceTest, OffUnlessSwitchedOn) {
    const struct {
        const char* ini;         // "Trace" in the file, or none
        const char* environment; // STOLVO_TRACE, or unset
    } cases[] = {{nullptr, nullptr}, {"0", nullptr}, {"7", nullptr}, {"-1", nullptr},
                 {"2", "0"},         {nullptr, "x"}, {nullptr, "12"}};
    for (const auto& c : cases) {
        LoadedDriver fresh;
        XYApi api{fresh};
        fresh.SetIni("Port", "0");
        if (c.ini != nullptr) {
            fresh.SetIni("Trace", c.ini, "Diagnostics");
        }
        SetEnvironmentVariableA("STOLVO_TRACE", c.environment);
        debugLines.clear();
        ASSERT_EQ(api.Init(nullptr), 0);
        EXPECT_EQ(api.Move(5, 6, 1), 0);
        EXPECT_EQ(api.Close(), 0);
        const std::string folder = fresh.folder();
        fresh.Unload();
        EXPECT_TRUE(debugLines.empty())
            << (c.ini ? c.ini : "-") << " / " << (c.environment ? c.environment : "-") << "\n"
            << Joined(debugLines);
        EXPECT_FALSE(FileExists(folder + "\\STolvoTrace.log"));
    }
}

TEST_F(TraceTest, ExportsAndDispatchCallsWithArgumentsResultsAndTimes) {
    SwitchIni("1");
    StageSession();
    const Lines bodies = Bodies(debugLines);
    const std::string all = Joined(bodies);

    const int init = Find(bodies, "> StgXYInit(");
    const int open = Find(bodies, "scan.OpenPort(&", init);
    const int initEnd = Find(bodies, "< StgXYInit = 0", open);
    ASSERT_GE(init, 0) << all;
    ASSERT_GT(open, init) << all;
    ASSERT_GT(initEnd, open) << all;
    EXPECT_EQ(bodies[open].rfind("  scan.OpenPort(&", 0), 0u) << "nested under the export";

    const int move = Find(bodies, "> StgXYMove(1000, -250, 1)");
    ASSERT_GE(move, 0) << all;
    const int sent = Find(bodies, "stage.MoveXY(1000, -250) hr=0x00000000", move);
    ASSERT_GT(sent, move) << all;
    EXPECT_NE(bodies[sent].find(" ms"), std::string::npos) << "with its duration";
    const int idle = Find(bodies, "scan.GetBusy(&0) hr=0x00000000", sent);
    EXPECT_GT(idle, sent) << "the wait ends on idle\n" << all;
    const int moveEnd = Find(bodies, "< StgXYMove = 0  ", sent);
    EXPECT_GT(moveEnd, idle) << all;

    const int report = Find(bodies, "> StgXYReport(out, out)");
    ASSERT_GE(report, 0) << all;
    EXPECT_GT(Find(bodies, "stage.GetXY(&1000, &-250) hr=0x00000000", report), report) << all;
    EXPECT_GT(Find(bodies, "< StgXYReport = 0 [1000, -250]  ", report), report) << all;
    EXPECT_GE(Find(bodies, "scan.ClosePort() hr=0x00000000"), 0) << all;
    EXPECT_GE(Find(bodies, "< StgXYClose = 0"), 0) << all;
    EXPECT_FALSE(FileExists(TracePath())) << "1 is the debugger's output only";
    EXPECT_EQ(bodies[sent].find(" = "), std::string::npos) << "a method's result is not asked for";
    EXPECT_GE(Find(bodies, "scan.LinkValue() hr=0x00000000 = "), 0) << "a get's value\n" << all;
}

// A method's result is never asked for; the exception record only when the
// trace is on, which prints it.
TEST_F(TraceTest, ExceptionRecordOnlyWhenTraced) {
    for (const char* trace : {"0", "1"}) {
        LoadedDriver fresh;
        XYApi api{fresh};
        fresh.SetIni("Port", "0");
        fresh.SetIni("Trace", trace, "Diagnostics");
        Sim().JournalClear();
        ASSERT_EQ(api.Init(nullptr), 0) << trace;
        EXPECT_EQ(api.Move(5, 6, 1), 0);
        EXPECT_EQ(api.SetSpeed(29), 0);
        int x = 0;
        int y = 0;
        EXPECT_EQ(api.Report(&x, &y), 0);
        EXPECT_EQ(api.Close(), 0);
        std::set<int> kinds;
        for (const SimCall& call : Journal()) {
            kinds.insert(call.kind);
            EXPECT_EQ(call.resultAsked != 0, call.kind == DISPATCH_PROPERTYGET)
                << trace << ": " << call.object << "/" << call.dispid;
            EXPECT_EQ(call.exceptionAsked != 0, trace[0] == '1')
                << trace << ": " << call.object << "/" << call.dispid;
        }
        EXPECT_EQ(kinds,
                  (std::set<int>{DISPATCH_METHOD, DISPATCH_PROPERTYGET, DISPATCH_PROPERTYPUT}))
            << trace;
    }
}

TEST_F(TraceTest, NestedExportsAndPropertiesAndHostBuffers) {
    SetEnvironmentVariableA("STOLVO_TRACE", "1");
    driver.SetIni("StageStep", "2");
    ASSERT_EQ(xy.Init(nullptr), 0);
    EXPECT_EQ(xy.Step(5, -6), 0);
    EXPECT_EQ(xy.SetSpeed(29), 0);
    double cx = 0.0;
    EXPECT_EQ(xy.Calib(&cx, nullptr), 0);
    EXPECT_EQ(xy.Report(nullptr, nullptr), 0);
    const Lines bodies = Bodies(debugLines);
    const std::string all = Joined(bodies);

    const int step = Find(bodies, "> StgXYStep(5, -6)");
    ASSERT_GE(step, 0) << all;
    EXPECT_EQ(bodies[step + 1], "  > StgXStep(5)") << all;
    EXPECT_EQ(bodies[step + 2].rfind("    stage.StepX(5) hr=0x00000000", 0), 0u) << all;
    EXPECT_GE(Find(bodies, "stage.Speed(14499) hr=0x00000000  "), 0) << "a property put\n" << all;
    EXPECT_GE(Find(bodies, "> StgXYCalib(out, NULL)"), 0) << all;
    EXPECT_GE(Find(bodies, "< StgXYCalib = 0 [0.4]  "), 0) << all;
    EXPECT_GE(Find(bodies, "< StgXYReport = 0  "), 0) << "no buffers, no values\n" << all;
}

TEST_F(TraceTest, FailuresShowTheirHresultAndNoValues) {
    SwitchIni("1");
    ASSERT_EQ(xy.Init(nullptr), 0);
    Sim().SetFault(SimStage, StageMember::MoveXY.dispid, E_FAIL);
    EXPECT_EQ(xy.Move(1, 2, 0), 1);
    Sim().SetFault(SimStage, StageMember::MoveXY.dispid, DISP_E_EXCEPTION);
    EXPECT_EQ(xy.Move(3, 4, 0), 1);
    Sim().SetFault(SimStage, StageMember::GetXY.dispid, E_FAIL);
    int x = 0;
    int y = 0;
    EXPECT_EQ(xy.Report(&x, &y), 1);
    const Lines bodies = Bodies(debugLines);
    const std::string all = Joined(bodies);

    EXPECT_GE(Find(bodies, "stage.MoveXY(1, 2) hr=0x80004005 E_FAIL  "), 0) << all;
    const int raised = Find(bodies, "stage.MoveXY(3, 4) hr=0x80020009 DISP_E_EXCEPTION exception ");
    ASSERT_GE(raised, 0) << all;
    EXPECT_NE(bodies[raised].find('"'), std::string::npos) << "the server's description";
    EXPECT_GE(Find(bodies, "< StgXYMove = 1  "), 0) << all;
    EXPECT_GE(Find(bodies, "< StgXYReport = 1  "), 0) << "no values after a failure\n" << all;
}

TEST_F(TraceTest, BindingShowsHowEachObjectWasReachedOrWhyNot) {
    SwitchIni("1");
    ASSERT_EQ(xy.Init(nullptr), 0);
    EXPECT_EQ(xy.Close(), 0);
    Sim().SetCreationFault(SimStage, E_OUTOFMEMORY);
    xy.Init(nullptr); // its code is the XY tests' concern
    xy.Close();
    Sim().SetCreationFault(SimStage, S_OK);
    ASSERT_EQ(Sim().SetClassRegistered(SimFocus, FALSE), S_OK);
    FocusApi focus{driver};
    focus.Init(nullptr);
    const Lines bodies = Bodies(debugLines);
    const std::string all = Joined(bodies);

    const int first = Find(bodies, "bind \"tolvo.scan\": new instance hr=0x00000000");
    ASSERT_GE(first, 0) << all;
    EXPECT_GT(first, Find(bodies, "> StgXYInit(")) << "nested under the export";
    EXPECT_GE(Find(bodies, "bind \"tolvo.stage\": new instance hr=0x00000000"), 0) << all;
    EXPECT_GE(Find(bodies, "bind \"tolvo.stage\": not created hr=0x8007000e E_OUTOFMEMORY"), 0)
        << all;
    EXPECT_GE(Find(bodies, "bind \"tolvo.Z\": no such class hr=0x800401f3 CO_E_CLASSSTRING"), 0)
        << all;
}

TEST_F(TraceTest, NamesFromTheHostsBufferOnlyWhenWritten) {
    SwitchIni("1");
    driver.SetIni("Name", "Excitation", "Shutter1");
    driver.SetIni("ShutterNumber", "0", "Shutter1");
    ShutterApi shutter{driver};
    ASSERT_EQ(shutter.GetInstance(0), 0);
    ASSERT_EQ(shutter.Init(0, nullptr), 0);
    char name[60];
    std::memset(name, 'A', sizeof name);
    EXPECT_EQ(shutter.GetName(0, name), 0);
    char unterminated[60];
    std::memset(unterminated, 'B', sizeof unterminated);
    EXPECT_EQ(shutter.GetName(2, unterminated), -5);
    EXPECT_EQ(shutter.SetOpen(0, 1), 0);
    EXPECT_EQ(shutter.Close(0), 0);
    const Lines bodies = Bodies(debugLines);
    const std::string all = Joined(bodies);

    EXPECT_GE(Find(bodies, "< ShtrGetName = 0 [\"Excitation\"]  "), 0) << all;
    EXPECT_GE(Find(bodies, "< ShtrGetName = -5  "), 0) << all;
    EXPECT_EQ(all.find("BBBB"), std::string::npos) << "an unwritten buffer is not read";
    EXPECT_GE(Find(bodies, "scan.SetShutter(1, 1) hr=0x00000000"), 0) << all;
}

TEST_F(TraceTest, RepeatedPollsAreCounted) {
    SwitchIni("1");
    ASSERT_EQ(xy.Init(nullptr), 0);
    Sim().SetBusyPolls(40);
    Sim().JournalClear();
    EXPECT_EQ(xy.Move(10, 20, 1), 0);
    const Lines bodies = Bodies(debugLines);
    const std::string all = Joined(bodies);
    size_t polls = 0;
    for (const SimCall& call : Journal()) {
        polls += call.object == SimScan && call.dispid == ScanMember::GetBusy.dispid
                     ? 1 + call.repeats
                     : 0;
    }
    ASSERT_GT(polls, 2u);

    const int busy = Find(bodies, "scan.GetBusy(&1) hr=0x00000000");
    ASSERT_GE(busy, 0) << all;
    EXPECT_EQ(Find(bodies, "scan.GetBusy(&1)", busy + 1), -1) << "shown once\n" << all;
    const std::string repeated = bodies[busy + 1];
    const std::string lead = "  (the line above ";
    ASSERT_EQ(repeated.rfind(lead, 0), 0u) << all;
    const size_t counted = std::stoul(repeated.substr(lead.size()));
    const int idle = Find(bodies, "scan.GetBusy(&0)", busy);
    ASSERT_GT(idle, busy) << all;
    EXPECT_EQ(1 + counted + 1, polls) << "every poll is accounted for\n" << all;
}

TEST_F(TraceTest, EnvironmentWinsAndTheFileHoldsTheSameLines) {
    SwitchIni("0");
    SetEnvironmentVariableA("STOLVO_TRACE", "2");
    StageSession();
    const Lines inFile = FileLines(TracePath());
    EXPECT_EQ(inFile, debugLines) << "read while the driver holds the file open";
    driver.Unload();
    EXPECT_EQ(FileLines(TracePath()), debugLines);
    EXPECT_GE(Find(Bodies(inFile), "> StgXYMove(1000, -250, 1)"), 0) << Joined(inFile);
}

TEST_F(TraceTest, TheFileStaysWithinItsBoundAndKeepsTheNewestCalls) {
    const struct {
        const char* kiloBytes;
        size_t bound;
    } cases[] = {{"4", 4096},    {"0", 4096}, {"-3", 4096},
                 {"junk", 4096}, {"6", 6144}, {nullptr, 1024 * 1024}};
    for (const auto& c : cases) {
        LoadedDriver fresh;
        XYApi api{fresh};
        fresh.SetIni("Port", "0");
        fresh.SetIni("Trace", "2", "Diagnostics");
        if (c.kiloBytes != nullptr) {
            fresh.SetIni("TraceFileKB", c.kiloBytes, "Diagnostics");
        }
        ASSERT_EQ(api.Init(nullptr), 0);
        int x = 0;
        int y = 0;
        for (int i = 0; i < 120; ++i) {
            ASSERT_EQ(api.Move(i, -i, 0), 0);
            ASSERT_EQ(api.Report(&x, &y), 0);
        }
        const std::string path = fresh.folder() + "\\STolvoTrace.log";
        const std::string old = fresh.folder() + "\\STolvoTrace.old.log";
        const std::string text = FileText(path);
        EXPECT_LE(text.size(), c.bound) << c.bound;
        EXPECT_LE(FileText(old).size(), c.bound) << c.bound;
        EXPECT_EQ(FileExists(old), c.bound < 100000) << c.bound;
        ASSERT_GE(text.size(), 2u);
        EXPECT_EQ(text.substr(text.size() - 2), "\r\n") << "whole lines only";
        const Lines lines = Bodies(FileLines(path));
        EXPECT_EQ(lines.back().rfind("< StgXYReport = 0 [119, -119]  ", 0), 0u) << c.bound;
        for (const std::string& line : FileLines(old)) {
            EXPECT_EQ(line.rfind("STolvo32 ", 0), 0u) << line;
        }
    }
}

TEST_F(TraceTest, AViewerHoldingTheFileDoesNotUnboundIt) {
    driver.SetIni("TraceFileKB", "4", "Diagnostics");
    SwitchIni("2");
    ASSERT_EQ(xy.Init(nullptr), 0);
    // A viewer that lets others write but not rename or delete.
    HANDLE viewer =
        CreateFileA(TracePath().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(viewer, INVALID_HANDLE_VALUE);
    int x = 0;
    int y = 0;
    for (int i = 0; i < 120; ++i) {
        ASSERT_EQ(xy.Move(i, -i, 0), 0);
        ASSERT_EQ(xy.Report(&x, &y), 0);
    }
    const std::string text = FileText(TracePath());
    CloseHandle(viewer);
    EXPECT_LE(text.size(), 4096u);
    EXPECT_FALSE(FileExists(OldTracePath())) << "the held file could not be renamed";
    const Lines lines = Bodies(FileLines(TracePath()));
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back().rfind("< StgXYReport = 0 [119, -119]  ", 0), 0u);
}

TEST_F(TraceTest, TheDriverLeavesTheSectionAsWritten) {
    SwitchIni("1");
    driver.SetIni("TraceFileKB", "64", "Diagnostics");
    StageSession();
    // Showing the stage page writes every setting.
    ShowAndCloseStagePage();
    driver.Unload();
    EXPECT_NE(driver.IniFileText().find("BaudRate="), std::string::npos) << "settings written";
    char text[256] = "";
    GetPrivateProfileSectionA("Diagnostics", text, sizeof text, driver.IniPath().c_str());
    Lines entries;
    for (const char* entry = text; *entry != '\0'; entry += std::strlen(entry) + 1) {
        entries.emplace_back(entry);
    }
    EXPECT_EQ(entries, (Lines{"Trace=1", "TraceFileKB=64"}));
}

TEST_F(TraceTest, DialogProceduresShowTheMessagesTheyActOn) {
    SwitchIni("1");
    StageSession();
    ShowAndCloseStagePage();
    const Lines bodies = Bodies(debugLines);
    const std::string all = Joined(bodies);
    const int shown = Find(bodies, "> StgXYConfigure(");
    ASSERT_GE(shown, 0) << all;
    const int init = Find(bodies, "> StgConfigProc(", shown);
    ASSERT_GT(init, shown) << all;
    EXPECT_NE(bodies[init].find(", 0x00000110, "), std::string::npos) << "WM_INITDIALOG";
    int procLines = 0;
    for (const std::string& body : bodies) {
        procLines += body.find("> StgConfigProc(") != std::string::npos ? 1 : 0;
    }
    EXPECT_LT(procLines, 20) << "not every paint and input message\n" << all;
    EXPECT_GE(Find(bodies, "< StgXYConfigure = 0"), 0) << all;
}

TEST_F(TraceTest, FailedCallsCarryTheirHresultsName) {
    const struct {
        HRESULT hr;
        const char* shown; // after "hr="
    } cases[] = {
        {DISP_E_MEMBERNOTFOUND, "0x80020003 DISP_E_MEMBERNOTFOUND  "},
        {DISP_E_TYPEMISMATCH, "0x80020005 DISP_E_TYPEMISMATCH  "},
        {DISP_E_BADPARAMCOUNT, "0x8002000e DISP_E_BADPARAMCOUNT  "},
        {DISP_E_EXCEPTION, "0x80020009 DISP_E_EXCEPTION exception 0x80004005 E_FAIL \""},
        {RPC_E_DISCONNECTED, "0x80010108 RPC_E_DISCONNECTED  "},
        {HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE), "0x800706ba RPC_S_SERVER_UNAVAILABLE  "},
        {RPC_E_SERVERFAULT, "0x80010105 RPC_E_SERVERFAULT  "},
        {CO_E_OBJNOTCONNECTED, "0x800401fd CO_E_OBJNOTCONNECTED  "},
        {REGDB_E_CLASSNOTREG, "0x80040154 REGDB_E_CLASSNOTREG  "},
        {E_NOINTERFACE, "0x80004002 E_NOINTERFACE  "},
        {E_INVALIDARG, "0x80070057 E_INVALIDARG  "},
        {static_cast<HRESULT>(0x80041234), "0x80041234  "}, // no name known
    };
    for (const auto& c : cases) {
        LoadedDriver fresh;
        XYApi api{fresh};
        fresh.SetIni("Port", "0");
        fresh.SetIni("Trace", "1", "Diagnostics");
        debugLines.clear();
        ASSERT_EQ(api.Init(nullptr), 0);
        Sim().SetFault(SimStage, StageMember::MoveXY.dispid, c.hr);
        EXPECT_EQ(api.Move(1, 2, 0), 1);
        Sim().SetFault(SimStage, StageMember::MoveXY.dispid, S_OK);
        fresh.Unload();
        const Lines bodies = Bodies(debugLines);
        EXPECT_GE(Find(bodies, std::string("stage.MoveXY(1, 2) hr=") + c.shown), 0)
            << c.shown << "\n"
            << Joined(bodies);
    }
}

namespace {
std::string ProgramPath() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

// The first line at or after `from` whose body is `body`, or -1.
int FindExact(const Lines& lines, const std::string& body, int from = 0) {
    for (int i = from; i < static_cast<int>(lines.size()); ++i) {
        if (Body(lines[i]) == body) {
            return i;
        }
    }
    return -1;
}

// The header's lines after its first, which name the process, the driver,
// the settings, the switches and the port.
Lines HeaderDetails(const std::string& folder, const std::string& switches,
                    const std::string& port) {
    return {"== host: " + ProgramPath() + ", process " + std::to_string(GetCurrentProcessId()),
            "== driver: " + folder + "\\STolvo32.dll, version " + STOLVO_VERSION_TEXT,
            "== settings: " + folder + "\\STolvo.INI", "== switches: " + switches,
            "== stored port: " + port};
}

// A header at line `at`: "== trace session" or, with `kind` "continued", the
// header of a file started after a full one ("" for either), with today's
// date, then `details`.
void ExpectHeaderAt(const Lines& lines, int at, const std::string& kind, const Lines& details) {
    ASSERT_GE(at, 0) << Joined(lines);
    ASSERT_LT(at + static_cast<int>(details.size()), static_cast<int>(lines.size()));
    SYSTEMTIME now;
    GetLocalTime(&now);
    char date[16];
    std::snprintf(date, sizeof date, "%04u-%02u-%02u ", now.wYear, now.wMonth, now.wDay);
    const std::string first = Body(lines[at]);
    const auto starts = [&](const char* word) {
        return first.rfind(std::string("== trace ") + word + " " + date, 0) == 0;
    };
    EXPECT_TRUE(kind.empty() ? starts("session") || starts("continued") : starts(kind.c_str()))
        << lines[at];
    for (size_t i = 0; i < details.size(); ++i) {
        EXPECT_EQ(Body(lines[at + 1 + i]), details[i]);
    }
}
} // namespace

TEST_F(TraceTest, EachSessionAndEachFileStartsWithItsHeader) {
    driver.SetIni("TraceFileKB", "4", "Diagnostics");
    SwitchIni("2");
    const std::string iniBefore = driver.IniFileText();
    StageSession();
    const Lines details =
        HeaderDetails(driver.folder(), "Trace=2 (from the settings file), TraceFileKB=4",
                      "Port=\"0\", opened as port 1");
    ExpectHeaderAt(debugLines, 0, "session", details);
    ExpectHeaderAt(FileLines(TracePath()), 0, "session", details);
    // Every line carries the time of day and the thread.
    const std::regex stamped("STolvo32 [0-9]{2}:[0-9]{2}:[0-9]{2}\\.[0-9]{3} \\[[0-9]+\\] .+");
    for (const std::string& line : debugLines) {
        EXPECT_TRUE(std::regex_match(line, stamped)) << line;
    }

    // A new file, once the first is full, has a header of its own.
    int x = 0;
    int y = 0;
    ASSERT_EQ(xy.Init(nullptr), 0);
    for (int i = 0; i < 60; ++i) {
        ASSERT_EQ(xy.Report(&x, &y), 0);
    }
    ASSERT_TRUE(FileExists(OldTracePath()));
    ExpectHeaderAt(FileLines(OldTracePath()), 0, "", details);
    const Lines rotated = FileLines(TracePath());
    ExpectHeaderAt(rotated, 0, "continued", details);
    EXPECT_NE(rotated[0].find("; earlier lines in STolvoTrace.old.log"), std::string::npos);
    EXPECT_EQ(FindExact(debugLines, Body(rotated[0])), -1) << "the file's own, not a session's";
    const std::string path = driver.folder() + "\\STolvo32.dll";
    driver.Unload();
    EXPECT_EQ(driver.IniFileText(), iniBefore) << "the header reads the port, writes nothing";

    // The next session appends, set apart by a blank line and a rule; with a
    // larger bound, so that its lines surely fit.
    const size_t before = FileLines(TracePath()).size();
    driver.SetIni("TraceFileKB", "64", "Diagnostics");
    SetEnvironmentVariableA("STOLVO_TRACE", "2");
    HMODULE again = LoadLibraryA(path.c_str());
    ASSERT_NE(again, nullptr);
    auto status = reinterpret_cast<decltype(&StgXYStatus)>(
        reinterpret_cast<void*>(GetProcAddress(again, "StgXYStatus")));
    EXPECT_EQ(status(), 0);
    FreeLibrary(again);
    const Lines appended = FileLines(TracePath());
    ASSERT_GT(appended.size(), before + 2);
    EXPECT_EQ(appended[before], "");
    EXPECT_NE(appended[before + 1].find("] ------------"), std::string::npos)
        << appended[before + 1];
    ExpectHeaderAt(appended, static_cast<int>(before + 2), "session",
                   HeaderDetails(driver.folder(), "Trace=2 (from STOLVO_TRACE), TraceFileKB=64",
                                 "Port=\"0\", opened as port 1"));
}

TEST_F(TraceTest, TheHeaderShowsTheStoredPortAsTheFileHoldsIt) {
    const struct {
        const char* port; // Port in the settings file, or none
        const char* shown;
    } cases[] = {
        {"0", "Port=\"0\", opened as port 1"},
        {"3", "Port=\"3\", opened as port 4"},
        {"4", "Port=\"4\", opened as port 0 (the PCI interface)"},
        {"-1", "Port=\"-1\" (not configured)"},
        {nullptr, "no Port key (not configured)"},
    };
    for (const auto& c : cases) {
        LoadedDriver fresh;
        XYApi api{fresh};
        fresh.SetIni("Trace", "1", "Diagnostics");
        if (c.port != nullptr) {
            fresh.SetIni("Port", c.port);
        }
        debugLines.clear();
        EXPECT_EQ(api.Status(), 0);
        fresh.Unload();
        EXPECT_GE(FindExact(debugLines, std::string("== stored port: ") + c.shown), 0)
            << c.shown << "\n"
            << Joined(debugLines);
    }
}
