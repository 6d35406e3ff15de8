// tolvo-host: a host bench that loads STolvo32.dll from its own folder as the
// imaging host does (OLE initialised on its thread, slots, initialise with a
// callback, operate, close) and runs a script of device commands against
// whatever automation servers are registered, by default our simulator.
//
//   tolvo-host [--trace]       write the sample rig's files, run the built-in session
//   tolvo-host [--prepare] [--trace] run FILE   run a script (--prepare writes the rig's
//                              files first)
//   tolvo-host [--prepare] [--trace] pages [--selftest | --select N]   the configuration
//                              window, N the device selected first (0 the XY stage)
//   tolvo-host probe [--open-port N] [--out FILE]   check the controller's servers
//
// --trace switches the driver's diagnostic trace on (STOLVO_TRACE=2) and shows
// its lines: under each script command, or in a pane below the window's
// status line; the trace file's path is printed at the end.
#include "host/bench_context.h"
#include "host/default_session.h"
#include "host/pages_window.h"
#include "host/probe_command.h"
#include "host/rig_files.h"
#include "host/script_runner.h"
#include "host/script_words.h"
#include "host/trace_capture.h"
#include <ole2.h>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {
int Usage() {
    std::fprintf(stderr,
                 "usage: tolvo-host [--trace]       (write the rig's files, run the built-in "
                 "session)\n"
                 "       tolvo-host [--prepare] [--trace] run FILE\n"
                 "       tolvo-host [--prepare] [--trace] pages [--selftest | --select N]\n"
                 "%s"
                 "--trace: the driver's trace under each command or in the window, and in "
                 "STolvoTrace.log beside the driver\n"
                 "commands, one a line: %s\n",
                 kProbeUsage, CommandSummary());
    return 2;
}

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

int Run(BenchContext& bench, std::istream& script) {
    const int errors = RunScript(bench, script);
    if (errors > 0) {
        std::printf("%d line(s) with errors\n", errors);
    }
    return errors > 0 ? 1 : 0;
}
} // namespace

int main(int argc, char** argv) {
    // The probe needs neither the driver nor the rig.
    if (argc > 1 && std::strcmp(argv[1], "probe") == 0) {
        return RunProbeCommand(argc - 2, argv + 2);
    }
    int arg = 1;
    bool prepare = false;
    bool trace = false;
    for (; arg < argc; ++arg) {
        if (!prepare && std::strcmp(argv[arg], "--prepare") == 0) {
            prepare = true;
        } else if (!trace && std::strcmp(argv[arg], "--trace") == 0) {
            trace = true;
        } else {
            break;
        }
    }
    // The built-in session runs on the sample rig.
    prepare = prepare || arg == argc;
    const bool runFile = arg < argc && std::strcmp(argv[arg], "run") == 0;
    const bool pages = arg < argc && std::strcmp(argv[arg], "pages") == 0;
    const bool selftest = pages && arg + 2 == argc && std::strcmp(argv[arg + 1], "--selftest") == 0;
    int first = 0;
    const bool selects = pages && arg + 3 == argc && std::strcmp(argv[arg + 1], "--select") == 0 &&
                         ParseInt(argv[arg + 2], &first);
    const bool pagesArgsFit = pages && (arg + 1 == argc || selftest || selects);
    if (arg < argc && !(runFile && arg + 2 == argc) && !pagesArgsFit) {
        return Usage();
    }
    std::ifstream file;
    if (runFile) {
        file.open(argv[arg + 1], std::ios::binary);
        if (!file) {
            std::fprintf(stderr, "cannot open %s\n", argv[arg + 1]);
            return 2;
        }
    }
    if (FAILED(OleInitialize(nullptr))) {
        std::fprintf(stderr, "OLE could not be initialised\n");
        return 1;
    }
    if (prepare) {
        PrepareRigFiles(ProgramFolder());
    }
    if (trace) {
        StartTraceCapture(!pages);
    }
    BenchContext bench{};
    if (!LoadDriver(&bench.driver)) {
        std::fprintf(stderr, "cannot load STolvo32.dll from %s\n", ProgramFolder().c_str());
        OleUninitialize();
        return 1;
    }
    StartSimulator(&bench);
    std::istringstream builtIn(kDefaultSession);
    const int status = pages ? RunPagesWindow(bench.driver, ProgramFolder(), selftest, first, trace)
                       : runFile ? Run(bench, file)
                                 : Run(bench, builtIn);

    const std::string traceFile = trace ? TraceFilePath(bench.driver.module) : std::string();
    FreeLibrary(bench.driver.module);
    if (bench.haveSim) {
        FreeLibrary(bench.sim.module);
    }
    OleUninitialize();
    if (trace) {
        // After the driver is gone, so that its last lines are in the file.
        StopTraceCapture();
        std::printf("trace file: %s\n", traceFile.c_str());
    }
    return status;
}
