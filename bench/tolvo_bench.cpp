// tolvo_bench.exe: what the driver adds to each controller call. Every figure
// sets the driver's export against the same work done without it, in batches
// taken in turn, and reports the medians: the machine is shared, so only
// ratios within one run mean much.
//
// Arguments: "module", "inproc", "pages", "scaling", "trace", "local" choose
// the groups (all by default; the pages, the wheel page's scaling among them,
// need "inproc"); "quick" runs fewer batches; "baseline=PATH" names a driver
// build without the diagnostic trace for the trace group to measure against.
#include <windows.h>
#include <oaidl.h>
#include <oleauto.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>
#include "bench/bench_pages.h"
#include "bench/bench_server.h"
#include "bench/bench_support.h"
#include "bench/pe_imports.h"
#include "core/filter_members.h"
#include "core/focus_members.h"
#include "core/scan_members.h"
#include "core/stage_members.h"
#include "sim/local_server/control_members.h"

namespace {

constexpr const wchar_t* kProgIds[kBenchKinds] = {L"tolvo.scan", L"tolvo.stage", L"tolvo.Z",
                                                  L"tolvo.filter"};

int Batches = 101;
bool Pages = true;

// ---- the objects the driver binds, put in the running object table ----

class RunningObjects {
  public:
    ~RunningObjects() { Revoke(); }
    bool Register(int kind, IDispatch* object) {
        CLSID clsid;
        DWORD cookie = 0;
        if (FAILED(CLSIDFromProgID(kProgIds[kind], &clsid)) ||
            FAILED(RegisterActiveObject(object, clsid, ACTIVEOBJECT_STRONG, &cookie))) {
            return false;
        }
        objects_[kind] = object;
        cookies_[kind] = cookie;
        return true;
    }
    IDispatch* get(int kind) const { return objects_[kind]; }
    void Revoke() {
        for (int kind = 0; kind < kBenchKinds; ++kind) {
            if (cookies_[kind] != 0) {
                RevokeActiveObject(cookies_[kind], nullptr);
                cookies_[kind] = 0;
            }
            if (objects_[kind] != nullptr) {
                objects_[kind]->Release();
                objects_[kind] = nullptr;
            }
        }
    }

  private:
    IDispatch* objects_[kBenchKinds] = {};
    DWORD cookies_[kBenchKinds] = {};
};

// ---- bare calls, as a client without the driver makes them ----

// One member's call as a client without the driver makes it: its arguments
// written into the array each time, last first, as values that change from
// call to call must be; no result for methods and no exception record.
class BareCall {
  public:
    BareCall(IDispatch* target, const ServerMember& member, std::vector<VARIANTARG> args)
        : target_(target), member_(member), args_(std::move(args)) {}
    VARIANTARG& arg(size_t declared) { return args_[declared]; }
    HRESULT operator()() {
        VARIANTARG reversed[kMaxMemberArgs];
        const size_t count = args_.size();
        for (size_t i = 0; i < count; ++i) {
            reversed[count - 1 - i].vt = args_[i].vt;
            reversed[count - 1 - i].llVal = args_[i].llVal;
        }
        DISPPARAMS params{count > 0 ? reversed : nullptr, nullptr, static_cast<UINT>(count), 0};
        VARIANT result;
        result.vt = VT_EMPTY;
        const bool wantsResult = member_.kind == CallKind::PropertyGet;
        const HRESULT hr = target_->Invoke(member_.dispid, IID_NULL, LOCALE_USER_DEFAULT,
                                           DispatchFlags(member_.kind), &params,
                                           wantsResult ? &result : nullptr, nullptr, nullptr);
        if (wantsResult && result.vt != VT_R8 && result.vt != VT_I2 && result.vt != VT_R4) {
            VariantClear(&result);
        }
        return hr;
    }

  private:
    IDispatch* target_;
    const ServerMember& member_;
    std::vector<VARIANTARG> args_;
};

VARIANTARG R8(double value) {
    VARIANTARG v;
    v.vt = VT_R8;
    v.dblVal = value;
    return v;
}

VARIANTARG I4(LONG value) {
    VARIANTARG v;
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

VARIANTARG RefR8(double* variable) {
    VARIANTARG v;
    v.vt = VT_R8 | VT_BYREF;
    v.pdblVal = variable;
    return v;
}

VARIANTARG RefI4(LONG* variable) {
    VARIANTARG v;
    v.vt = VT_I4 | VT_BYREF;
    v.plVal = variable;
    return v;
}

// ---- the per-call figures shared by both servers ----

struct CallFigures {
    std::string suffix; // "inproc" or "local"
    double goal;
    int batches;
    int calls;     // per batch
    int busyPolls; // for the wait's per-poll cost
    std::function<void(int)> setBusyPolls;
    std::function<long()> polls; // GetBusy calls the server answered so far
};

void MeasureCalls(Report& report, const BenchDriver& driver, const RunningObjects& objects,
                  const CallFigures& how) {
    const auto& api = driver.api();
    int failures = 0;
    const std::string tag = "_" + how.suffix;

    double x = 0.0;
    double y = 0.0;
    BareCall getXY(objects.get(BenchStage), StageMember::GetXY, {RefR8(&x), RefR8(&y)});
    const auto readPosition = [&] {
        int hx = 0;
        int hy = 0;
        failures += api.StgXYReport(&hx, &hy) != 0;
    };
    report.AddRatio(
        "StgXYReport" + tag, how.goal,
        Compare(how.batches, how.calls, readPosition, [&] { failures += FAILED(getXY()); }));

    // The bare call above leaves the position where the server wrote it; a
    // client that uses it reads it back and stores it, as the driver does for
    // the host. No goal: it shows what of the driver's time that reading is.
    volatile int bareX = 0;
    volatile int bareY = 0;
    report.AddRatio("StgXYReport_vs_bare_reading" + tag, -1.0,
                    Compare(how.batches, how.calls, readPosition, [&] {
                        failures += FAILED(getXY());
                        bareX = static_cast<int>(x);
                        bareY = static_cast<int>(y);
                    }));

    BareCall moveXY(objects.get(BenchStage), StageMember::MoveXY, {R8(100.0), R8(200.0)});
    report.AddRatio("StgXYMove_nowait" + tag, how.goal,
                    Compare(
                        how.batches, how.calls,
                        [&] { failures += api.StgXYMove(100, 200, 0) != 0; },
                        [&] { failures += FAILED(moveXY()); }));

    BareCall position(objects.get(BenchFocus), FocusMember::Position, {});
    report.AddRatio("StgZReport" + tag, how.goal,
                    Compare(
                        how.batches, how.calls,
                        [&] {
                            int z = 0;
                            failures += api.StgZReport(&z) != 0;
                        },
                        [&] { failures += FAILED(position()); }));

    // Alternating states, so that every call reaches the controller.
    int driverState = 0;
    BareCall setShutter(objects.get(BenchScan), ScanMember::SetShutter, {I4(1), I4(0)});
    report.AddRatio("ShtrSetOpen" + tag, how.goal,
                    Compare(
                        how.batches, how.calls,
                        [&] {
                            driverState ^= 1;
                            failures += api.ShtrSetOpen(0, driverState) != 0;
                        },
                        [&] {
                            setShutter.arg(1).lVal ^= 1;
                            failures += FAILED(setShutter());
                        }));

    int driverPosition = 0;
    BareCall moveWheel(objects.get(BenchFilter), FilterMember::MoveWheel, {I4(1), I4(1)});
    report.AddRatio("FWSetPosition" + tag, how.goal,
                    Compare(
                        how.batches, how.calls,
                        [&] {
                            driverPosition ^= 1;
                            failures += api.FWSetPosition(0, driverPosition) != 0;
                        },
                        [&] {
                            moveWheel.arg(1).lVal ^= 3; // 1 and 2
                            failures += FAILED(moveWheel());
                        }));

    // The wait: one waited move per run, the server busy for a number of polls
    // after it. The per-poll cost is the difference between a wait of many
    // polls and one of none.
    const int waitedMoves = std::max(4, how.calls / how.busyPolls);
    how.setBusyPolls(how.busyPolls);
    const long pollsBefore = how.polls();
    for (int i = 0; i < waitedMoves; ++i) {
        failures += api.StgXYMove(100, 200, 1) != 0;
    }
    const double pollsPerWait = static_cast<double>(how.polls() - pollsBefore) / waitedMoves;
    report.AddValue("WaitForIdle_polls_after_idle" + tag, pollsPerWait - how.busyPolls, "polls",
                    1.0);

    LONG busy = 0;
    BareCall getBusy(objects.get(BenchScan), ScanMember::GetBusy, {RefI4(&busy)});
    std::vector<double> pollDriver;
    std::vector<double> pollBare;
    for (int batch = 0; batch < how.batches; ++batch) {
        how.setBusyPolls(how.busyPolls);
        const double many = TimeCalls(1, [&] { failures += api.StgXYMove(100, 200, 1) != 0; });
        how.setBusyPolls(0);
        const double none = TimeCalls(1, [&] { failures += api.StgXYMove(100, 200, 1) != 0; });
        pollDriver.push_back((many - none) / how.busyPolls);
        pollBare.push_back(TimeCalls(how.busyPolls, [&] { failures += FAILED(getBusy()); }));
    }
    how.setBusyPolls(0);
    report.AddRatio("WaitForIdle_poll" + tag, how.goal, {Median(pollDriver), Median(pollBare)});

    if (failures != 0) {
        report.Note("calls that failed during the " + how.suffix +
                    " figures: " + std::to_string(failures));
    }
}

// Initialises every family the figures use; false with a note when one fails.
bool InitFamilies(Report& report, const BenchDriver& driver) {
    const auto& api = driver.api();
    const int xy = api.StgXYInit(nullptr);
    const int z = api.StgZInit(nullptr);
    const int shutterSlot = api.ShtrGetInstance(0);
    const int shutter = api.ShtrInit(shutterSlot, nullptr);
    const int wheelSlot = api.FWGetInstance(0);
    const int wheel = api.FWInit(wheelSlot, nullptr);
    if (xy != 0 || z != 0 || shutterSlot != 0 || shutter != 0 || wheelSlot != 0 || wheel != 0) {
        report.Note("initialisation failed: StgXYInit " + std::to_string(xy) + ", StgZInit " +
                    std::to_string(z) + ", ShtrInit " + std::to_string(shutter) + ", FWInit " +
                    std::to_string(wheel));
        return false;
    }
    return true;
}

void CloseFamilies(const BenchDriver& driver) {
    const auto& api = driver.api();
    api.FWClose(0);
    api.ShtrClose(0);
    api.StgZClose();
    api.StgXYClose();
}

// The bench's minimal objects under the controller's classes, for the
// driver's GetActiveObject to find.
bool RegisterBenchObjects(Report& report, RunningObjects& objects) {
    for (int kind = 0; kind < kBenchKinds; ++kind) {
        if (!objects.Register(kind, NewBenchObject(kind))) {
            report.Note("the bench objects could not be registered (is TolvoSim.dll registered?)");
            return false;
        }
    }
    return true;
}

// ---- in process: the driver's own overhead ----

void RunInProcess(Report& report) {
    RunningObjects objects;
    if (!RegisterBenchObjects(report, objects)) {
        return;
    }
    BenchDriver driver;
    if (!driver.loaded()) {
        report.Note("STolvo32.dll did not load");
        return;
    }
    driver.WriteFullSettings();
    if (!InitFamilies(report, driver)) {
        return;
    }
    // The driver must be talking to the bench objects, not to new ones.
    const LONG before = BenchServer.calls;
    int x = 0;
    int y = 0;
    if (driver.api().StgXYReport(&x, &y) != 0 || BenchServer.calls != before + 1 || x != 1234) {
        report.Note("the driver did not bind the bench objects");
        return;
    }
    CallFigures how;
    how.suffix = "inproc";
    how.goal = 2.0;
    how.batches = Batches;
    how.calls = 2000;
    how.busyPolls = 200;
    how.setBusyPolls = [](int polls) { BenchServer.busyAfterMove = polls; };
    how.polls = [] { return static_cast<long>(BenchServer.polls); };
    MeasureCalls(report, driver, objects, how);
    if (Pages) {
        RunPages(report, driver);
        RunWheelScaling(report);
    }

    // Settings: the XY family opened and closed with a full settings file,
    // against reading the same keys without the driver.
    CloseFamilies(driver);
    const std::string ini = driver.IniPath();
    report.AddRatio("StgXYInit_Close_settings", 2.0,
                    Compare(
                        Batches, 20,
                        [&] {
                            driver.api().StgXYInit(nullptr);
                            driver.api().StgXYClose();
                        },
                        [&] { ReadStageKeys(ini); }));
}

// ---- across processes: the simulator's local server ----

// The control object's calls the figures need.
class Control {
  public:
    explicit Control(IDispatch* control) : control_(control) {}
    HRESULT Call(const ServerMember& member, std::vector<VARIANTARG> args, VARIANT* result) {
        std::reverse(args.begin(), args.end());
        DISPPARAMS params{args.empty() ? nullptr : args.data(), nullptr,
                          static_cast<UINT>(args.size()), 0};
        return control_->Invoke(member.dispid, IID_NULL, LOCALE_USER_DEFAULT,
                                DispatchFlags(member.kind), &params, result, nullptr, nullptr);
    }
    LONG GetI4(const ServerMember& member) {
        VARIANT result;
        VariantInit(&result);
        Call(member, {}, &result);
        VariantChangeType(&result, &result, 0, VT_I4);
        const LONG value = result.vt == VT_I4 ? result.lVal : -1;
        VariantClear(&result);
        return value;
    }
    IDispatch* CreateObject(int kind) {
        VARIANT result;
        VariantInit(&result);
        IDispatch* object = nullptr;
        if (SUCCEEDED(Call(ControlMember::CreateObject, {I4(kind)}, &result)) &&
            result.vt == VT_DISPATCH) {
            object = result.pdispVal;
            object->AddRef();
        }
        VariantClear(&result);
        return object;
    }

  private:
    IDispatch* control_;
};

void RunLocalServer(Report& report) {
    LocalServerRegistration registration;
    if (!registration.switched()) {
        report.Note("TolvoSimServer.exe /regserver failed");
        return;
    }
    CLSID controlClass;
    IDispatch* controlObject = nullptr;
    if (FAILED(CLSIDFromProgID(ControlMember::kProgId, &controlClass)) ||
        FAILED(CoCreateInstance(controlClass, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                reinterpret_cast<void**>(&controlObject)))) {
        report.Note("the local server did not start");
        return;
    }
    Control control(controlObject);
    const DWORD serverProcess = static_cast<DWORD>(control.GetI4(ControlMember::ProcessId));
    registration.WatchServer(serverProcess);
    {
        RunningObjects objects;
        bool registered = true;
        for (int kind = 0; kind < kBenchKinds; ++kind) {
            IDispatch* object = control.CreateObject(kind);
            registered = registered && object != nullptr && objects.Register(kind, object);
        }
        BenchDriver driver;
        if (!registered || !driver.loaded()) {
            report.Note("the local server's objects could not be registered");
        } else {
            driver.WriteFullSettings();
            if (InitFamilies(report, driver)) {
                CallFigures how;
                how.suffix = "local";
                how.goal = 1.01;
                // Small batches, many of them: a cross-process call takes
                // about a millisecond here and the other work on the machine
                // comes in bursts.
                how.batches = 5 * Batches;
                how.calls = 8;
                how.busyPolls = 20;
                how.setBusyPolls = [&](int polls) {
                    control.Call(ControlMember::SetBusyPolls, {I4(polls)}, nullptr);
                };
                how.polls = [&] {
                    return static_cast<long>(control.GetI4(ControlMember::BusyPollCount));
                };
                MeasureCalls(report, driver, objects, how);
                control.Call(ControlMember::ClearJournal, {}, nullptr);
            }
            CloseFamilies(driver);
        }
    }
    controlObject->Release();
}

} // namespace

// ---- the diagnostic trace's cost ----

// A driver copy with the trace switched as `trace` says ("Trace" in its
// settings file), its families opened on the bench objects.
bool OpenTracedDriver(Report& report, BenchDriver& driver, const char* trace) {
    if (!driver.loaded()) {
        report.Note("a driver copy for the trace figures did not load");
        return false;
    }
    driver.WriteFullSettings();
    if (trace != nullptr) {
        WritePrivateProfileStringA("Diagnostics", "Trace", trace, driver.IniPath().c_str());
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, driver.IniPath().c_str());
    }
    return InitFamilies(report, driver);
}

// The same exports from two copies of the driver, taken in turn.
void CompareDrivers(Report& report, const std::string& name, double goal, const BenchDriver& a,
                    const BenchDriver& b) {
    int failures = 0;
    report.AddRatio("StgZReport_" + name, goal,
                    Compare(
                        Batches, 2000,
                        [&] {
                            int z = 0;
                            failures += a.api().StgZReport(&z) != 0;
                        },
                        [&] {
                            int z = 0;
                            failures += b.api().StgZReport(&z) != 0;
                        }));
    report.AddRatio("ShtrSetOpen_" + name, goal,
                    Compare(
                        Batches, 2000,
                        [&, state = 0]() mutable {
                            state ^= 1;
                            failures += a.api().ShtrSetOpen(0, state) != 0;
                        },
                        [&, state = 0]() mutable {
                            state ^= 1;
                            failures += b.api().ShtrSetOpen(0, state) != 0;
                        }));
    if (failures != 0) {
        report.Note(name + ": " + std::to_string(failures) + " calls failed");
    }
}

// With the trace off the driver must cost what a build without the trace
// costs (`baseline`, when given); on, its cost per call is shown, with
// nothing to meet.
void RunTrace(Report& report, const std::string& baseline) {
    RunningObjects objects;
    if (!RegisterBenchObjects(report, objects)) {
        return;
    }
    BenchDriver off;
    if (!OpenTracedDriver(report, off, nullptr)) {
        return;
    }
    if (!baseline.empty()) {
        BenchDriver untraced(baseline.c_str());
        if (OpenTracedDriver(report, untraced, nullptr)) {
            CompareDrivers(report, "trace_off_vs_untraced", 1.05, off, untraced);
            CloseFamilies(untraced);
        }
    }
    BenchDriver debugOutput;
    if (OpenTracedDriver(report, debugOutput, "1")) {
        CompareDrivers(report, "trace_debug_output_vs_off", -1.0, debugOutput, off);
        CloseFamilies(debugOutput);
    }
    BenchDriver file;
    if (OpenTracedDriver(report, file, "2")) {
        CompareDrivers(report, "trace_file_vs_off", -1.0, file, off);
        CloseFamilies(file);
    }
    CloseFamilies(off);
}

int main(int argc, char** argv) {
    bool inproc = true;
    bool local = true;
    bool module = true;
    bool scaling = true;
    bool trace = true;
    bool chosen = false;
    std::string baseline;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "quick") {
            Batches = 21;
            continue;
        }
        if (arg.rfind("baseline=", 0) == 0) {
            baseline = arg.substr(9);
            continue;
        }
        if (!chosen) {
            inproc = local = module = scaling = trace = Pages = false;
            chosen = true;
        }
        inproc = inproc || arg == "inproc";
        local = local || arg == "local";
        module = module || arg == "module";
        scaling = scaling || arg == "scaling";
        Pages = Pages || arg == "pages";
        trace = trace || arg == "trace";
    }
    SetThreadAffinityMask(GetCurrentThread(), 1);
    CoInitialize(nullptr);
    Report report;
    if (module) {
        RunModule(report);
    }
    if (inproc) {
        RunInProcess(report);
    }
    if (scaling) {
        RunScaling(report);
    }
    if (trace) {
        RunTrace(report, baseline);
    }
    if (local) {
        RunLocalServer(report);
    }
    CoUninitialize();
    report.Print();
    return report.AllMet() ? 0 : 1;
}
