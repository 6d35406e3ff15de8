// Loads the driver as the imaging host does and runs a short XY stage
// session against the controller simulator, printing every call, its result
// and where the simulated stage stands.
//
// Usage: host_session <path of STolvo32.dll>
#include <windows.h>
#include <ole2.h>
#include <cstdio>
#include "sim/sim_control.h"

namespace {
template <typename F> F Export(HMODULE module, const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

struct Simulator {
    decltype(&SimGetStagePosition) position = nullptr;
    decltype(&SimSetBusyPolls) busyPolls = nullptr;
    decltype(&SimGetBusyPollCount) pollCount = nullptr;
};

void Show(const Simulator& sim, const char* call, int result) {
    double x = 0.0;
    double y = 0.0;
    sim.position(&x, &y);
    std::printf("%-28s -> %3d   stage at (%.1f, %.1f), %d busy polls so far\n", call, result, x, y,
                sim.pollCount());
}

int WINAPI HostCallback() {
    return 0;
}
} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: host_session <path of STolvo32.dll>\n");
        return 2;
    }
    if (FAILED(OleInitialize(nullptr))) {
        std::fprintf(stderr, "OLE could not be initialised\n");
        return 1;
    }
    HMODULE simModule = LoadLibraryA("TolvoSim.dll");
    HMODULE driver = LoadLibraryA(argv[1]);
    if (simModule == nullptr || driver == nullptr) {
        std::fprintf(stderr, "cannot load %s\n", simModule == nullptr ? "TolvoSim.dll" : argv[1]);
        return 1;
    }
    Simulator sim;
    sim.position = Export<decltype(&SimGetStagePosition)>(simModule, "SimGetStagePosition");
    sim.busyPolls = Export<decltype(&SimSetBusyPolls)>(simModule, "SimSetBusyPolls");
    sim.pollCount = Export<decltype(&SimGetBusyPollCount)>(simModule, "SimGetBusyPollCount");
    // Each move keeps the simulated controller busy for a few polls.
    sim.busyPolls(3);

    using Init = int(WINAPI*)(int(WINAPI*)());
    using NoArgs = int(WINAPI*)();
    using Move = int(WINAPI*)(int, int, int);
    using Step = int(WINAPI*)(int, int);
    using Report = int(WINAPI*)(int*, int*);
    using Calib = int(WINAPI*)(double*, double*);
    using Command = int(WINAPI*)(int);

    auto init = Export<Init>(driver, "StgXYInit");
    auto move = Export<Move>(driver, "StgXYMove");
    auto step = Export<Step>(driver, "StgXYStep");
    auto report = Export<Report>(driver, "StgXYReport");
    auto calib = Export<Calib>(driver, "StgXYCalib");
    auto origin = Export<NoArgs>(driver, "StgXYOrigin");
    auto speed = Export<Command>(driver, "StgXYSetSpeed");
    auto command = Export<Command>(driver, "StgXYCommand");
    auto close = Export<NoArgs>(driver, "StgXYClose");

    Show(sim, "StgXYInit(callback)", init(HostCallback));
    Show(sim, "StgXYSetSpeed(50)", speed(50));
    Show(sim, "StgXYMove(1000, -250, 1)", move(1000, -250, 1));
    Show(sim, "StgXYStep(100, 100)", step(100, 100));
    int x = 0;
    int y = 0;
    const int reported = report(&x, &y);
    char text[64];
    std::snprintf(text, sizeof text, "StgXYReport -> (%d, %d)", x, y);
    Show(sim, text, reported);
    double cx = 0.0;
    double cy = 0.0;
    const int calibrated = calib(&cx, &cy);
    std::snprintf(text, sizeof text, "StgXYCalib -> (%g, %g)", cx, cy);
    Show(sim, text, calibrated);
    Show(sim, "StgXYOrigin()", origin());
    Show(sim, "StgXYCommand(4)", command(4));
    Show(sim, "StgXYClose()", close());

    FreeLibrary(driver);
    FreeLibrary(simModule);
    OleUninitialize();
    return 0;
}
