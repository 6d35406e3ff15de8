// tolvo-host: a host bench that loads STolvo32.dll from its own folder as the
// imaging host does (OLE initialised on its thread, slots, initialise with a
// callback, operate, close) and runs a script of device commands against
// whatever automation servers are registered, by default our simulator.
//
// The command line is read in command_args.cpp; `tolvo-host --help` says what
// each mode and option does.
//
// The rig lies in a scratch folder of the bench's own (host/rig_folder.h),
// with copies of the driver and of the configuration beside the bench;
// --in-place works on the files beside the bench instead.
#include "host/bench_context.h"
#include "host/bench_output.h"
#include "host/command_args.h"
#include "host/default_session.h"
#include "host/pages_window.h"
#include "host/probe_command.h"
#include "host/rig_files.h"
#include "host/rig_folder.h"
#include "host/script_runner.h"
#include "host/script_words.h"
#include "host/trace_capture.h"
#include <ole2.h>
#include <cstdio>
#include <cstring>
#include <sstream>

namespace {
std::string ProgramFolder() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

// With our simulator in process, moves take time at the bench's stated speed.
void StartSimulator(BenchContext* bench) {
    bench->haveSim = LoadSimLink(&bench->sim);
    if (bench->haveSim) {
        bench->sim.SetBusyPolls(-1);
        bench->sim.SetMotionSpeed(kBenchStageSpeed);
        bench->sim.JournalClear();
        std::printf("simulator: TolvoSim.dll in process, moves at %.0f units/s\n",
                    kBenchStageSpeed);
    } else {
        std::printf("simulator: not ours in process; the registered servers answer\n");
    }
}

// A script or the built-in session, with a closing summary.
int Run(BenchContext& bench, std::istream& script, bool strict) {
    const double start = Now();
    const int errors = RunScript(bench, script);
    if (errors > 0) {
        std::printf("%d line(s) with errors\n", errors);
    }
    const CallTally tally = Tally();
    std::printf("summary: %d driver call(s), %d not done, %d line(s) with errors, %.1f ms\n",
                tally.calls, tally.failed, errors, MillisecondsSince(start));
    return errors > 0 || (strict && tally.failed > 0) ? 1 : 0;
}
} // namespace

int main(int argc, char** argv) {
    // The probe needs neither the driver nor the rig.
    if (argc > 1 && std::strcmp(argv[1], "probe") == 0) {
        return RunProbeCommand(argc - 2, argv + 2);
    }
    BenchOptions options;
    std::string error;
    if (!ParseBenchCommandLine(argc, argv, &options, &error)) {
        std::fprintf(stderr, "tolvo-host: %s\n%stolvo-host --help tells more.\n", error.c_str(),
                     BenchUsage());
        return 2;
    }
    if (options.mode == BenchMode::Help) {
        std::fputs(BenchHelp().c_str(), stdout);
        return 0;
    }
    std::string scriptText = kDefaultSession;
    if (options.mode == BenchMode::Run && !ReadScriptFile(options.file, &scriptText, &error)) {
        std::fprintf(stderr, "tolvo-host: cannot open %s: %s\n", options.file.c_str(),
                     error.c_str());
        return 2;
    }
    if (FAILED(OleInitialize(nullptr))) {
        std::fprintf(stderr, "OLE could not be initialised\n");
        return 1;
    }
    const std::string rig = MakeRigFolder(ProgramFolder(), options.inPlace, !options.prepare);
    if (rig.empty()) {
        OleUninitialize();
        return 1;
    }
    if (options.prepare) {
        PrepareRigFiles(rig);
    }
    const bool pages = options.mode == BenchMode::Pages;
    if (options.trace) {
        StartTraceCapture(!pages);
    }
    BenchContext bench{};
    if (!LoadDriver(&bench.driver, rig)) {
        std::fprintf(stderr, "cannot load STolvo32.dll from %s\n", rig.c_str());
        OleUninitialize();
        return 1;
    }
    StartSimulator(&bench);
    std::istringstream script(scriptText);
    const int status = pages ? RunPagesWindow(bench.driver, rig, options.selftest,
                                              options.firstDevice, options.trace)
                             : Run(bench, script, options.strict);

    const std::string traceFile =
        options.trace ? TraceFilePath(bench.driver.module) : std::string();
    FreeLibrary(bench.driver.module);
    if (bench.haveSim) {
        FreeLibrary(bench.sim.module);
    }
    OleUninitialize();
    if (options.trace) {
        // After the driver is gone, so that its last lines are in the file.
        StopTraceCapture();
        std::printf("trace file: %s\n", traceFile.c_str());
    }
    return status;
}
