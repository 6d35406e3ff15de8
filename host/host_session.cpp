// Loads the driver as the imaging host does and runs a short session against
// the controller simulator: the XY stage, the focus drive and two shutters.
// It prepares the host's hardware file and the driver's settings beside the
// driver, then prints every call, its result, and what the simulator saw.
//
// Usage: host_session <path of STolvo32.dll>
#include <windows.h>
#include <ole2.h>
#include <cstdio>
#include <string>
#include "devices/focus.h"
#include "devices/shutters.h"
#include "devices/xy_stage.h"
#include "sim/journal/journal_text.h"

namespace {
template <typename F> F Export(HMODULE module, const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// Each export as the driver declares it, fetched by name.
#define EXPORT(name) const auto name = Export<decltype(&::name)>(driver, #name)

struct Simulator {
    HMODULE module;
    decltype(&SimJournalCount) journalCount;
    decltype(&SimJournalEntry) journalEntry;
    decltype(&SimJournalClear) journalClear;
    decltype(&SimGetStagePosition) stagePosition;
    decltype(&SimGetFocusPosition) focusPosition;
    decltype(&SimGetShutterState) shutterState;
    decltype(&SimSetBusyPolls) busyPolls;
};

Simulator LoadSimulator(HMODULE module) {
    return Simulator{module,
                     Export<decltype(&SimJournalCount)>(module, "SimJournalCount"),
                     Export<decltype(&SimJournalEntry)>(module, "SimJournalEntry"),
                     Export<decltype(&SimJournalClear)>(module, "SimJournalClear"),
                     Export<decltype(&SimGetStagePosition)>(module, "SimGetStagePosition"),
                     Export<decltype(&SimGetFocusPosition)>(module, "SimGetFocusPosition"),
                     Export<decltype(&SimGetShutterState)>(module, "SimGetShutterState"),
                     Export<decltype(&SimSetBusyPolls)>(module, "SimSetBusyPolls")};
}

// Prints one call's result and the calls the simulator received for it, then
// starts the next call with an empty journal.
void Show(const Simulator& sim, const std::string& call, int result) {
    std::vector<SimCall> calls;
    for (int i = 0; i < sim.journalCount(); ++i) {
        SimCall entry{};
        if (sim.journalEntry(i, &entry)) {
            calls.push_back(entry);
        }
    }
    std::string seen;
    for (const std::string& line : JournalText(calls)) {
        seen += (seen.empty() ? "" : "  ") + line;
    }
    std::printf("%-34s -> %3d   %s\n", call.c_str(), result, seen.empty() ? "-" : seen.c_str());
    sim.journalClear();
}

void ShowWhere(const Simulator& sim) {
    double x = 0.0;
    double y = 0.0;
    sim.stagePosition(&x, &y);
    std::printf("  simulator: stage at (%.1f, %.1f), focus at %.1f, shutters 1 and 2: %d %d\n", x,
                y, sim.focusPosition(), sim.shutterState(1), sim.shutterState(2));
}

// The files the host and the user would have prepared beside the driver.
void PrepareFiles(const std::string& folder) {
    const std::string hardware = folder + "KROHW.INI";
    WritePrivateProfileStringA("Focus", "Module", "STolvo32.dll", hardware.c_str());
    const std::string settings = folder + "STolvo.INI";
    const struct {
        const char* section;
        const char* key;
        const char* value;
    } keys[] = {{"Tolvo Stage", "Port", "0"},        {"Tolvo Stage", "FocusStep", "1"},
                {"Shutter1", "Name", "Excitation"},  {"Shutter1", "ShutterNumber", "0"},
                {"Shutter2", "Name", "Transmitted"}, {"Shutter2", "ShutterNumber", "1"}};
    for (const auto& k : keys) {
        WritePrivateProfileStringA(k.section, k.key, k.value, settings.c_str());
    }
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, settings.c_str());
}

// The driver records the host's callback and never calls it.
int HostReady() {
    return 0;
}

void RunSession(HMODULE driver, const Simulator& sim) {
    EXPORT(StgXYInit);
    EXPORT(StgXYSetSpeed);
    EXPORT(StgXYMove);
    EXPORT(StgXYStep);
    EXPORT(StgXYReport);
    EXPORT(StgXYCalib);
    EXPORT(StgXYOrigin);
    EXPORT(StgXYCommand);
    EXPORT(StgXYClose);
    EXPORT(StgZInit);
    EXPORT(StgZMove);
    EXPORT(StgZStep);
    EXPORT(StgZOrigin);
    EXPORT(StgZReport);
    EXPORT(StgZCalib);
    EXPORT(StgZClose);
    EXPORT(ShtrGetInstance);
    EXPORT(ShtrInit);
    EXPORT(ShtrGetName);
    EXPORT(ShtrSetOpen);
    EXPORT(ShtrGetOpen);
    EXPORT(ShtrClose);
    const HostCallback callback = &HostReady;
    char text[128];

    std::printf("Shutters\n");
    Show(sim, "ShtrGetInstance(0)", ShtrGetInstance(0));
    Show(sim, "ShtrGetInstance(0)", ShtrGetInstance(0));
    Show(sim, "ShtrInit(0, callback)", ShtrInit(0, callback));
    Show(sim, "ShtrInit(1, callback)", ShtrInit(1, callback));
    char name[60] = "";
    const int named = ShtrGetName(1, name);
    Show(sim, std::string("ShtrGetName(1) -> \"") + name + "\"", named);
    Show(sim, "ShtrSetOpen(0, 1)", ShtrSetOpen(0, 1));
    Show(sim, "ShtrSetOpen(0, 1)", ShtrSetOpen(0, 1));
    Show(sim, "ShtrSetOpen(1, 1)", ShtrSetOpen(1, 1));
    Show(sim, "ShtrGetOpen(1)", ShtrGetOpen(1));
    Show(sim, "ShtrSetOpen(1, 0)", ShtrSetOpen(1, 0));
    ShowWhere(sim);

    std::printf("XY stage\n");
    Show(sim, "StgXYInit(callback)", StgXYInit(callback));
    Show(sim, "StgXYSetSpeed(50)", StgXYSetSpeed(50));
    Show(sim, "StgXYMove(1000, -250, 1)", StgXYMove(1000, -250, 1));
    Show(sim, "StgXYStep(100, 100)", StgXYStep(100, 100));
    int x = 0;
    int y = 0;
    const int reported = StgXYReport(&x, &y);
    std::snprintf(text, sizeof text, "StgXYReport -> (%d, %d)", x, y);
    Show(sim, text, reported);
    double cx = 0.0;
    double cy = 0.0;
    const int calibrated = StgXYCalib(&cx, &cy);
    std::snprintf(text, sizeof text, "StgXYCalib -> (%g, %g)", cx, cy);
    Show(sim, text, calibrated);
    Show(sim, "StgXYOrigin()", StgXYOrigin());
    Show(sim, "StgXYCommand(4)", StgXYCommand(4));
    ShowWhere(sim);

    std::printf("Focus (the host's hardware file gives it to the driver)\n");
    Show(sim, "StgZInit(callback)", StgZInit(callback));
    Show(sim, "StgZMove(500, 0)", StgZMove(500, 0));
    Show(sim, "StgZStep(-20)", StgZStep(-20));
    Show(sim, "StgZOrigin()", StgZOrigin());
    Show(sim, "StgZStep(5)", StgZStep(5));
    int z = 0;
    const int zReported = StgZReport(&z);
    std::snprintf(text, sizeof text, "StgZReport -> %d", z);
    Show(sim, text, zReported);
    double zStep = 0.0;
    const int zCalibrated = StgZCalib(&zStep);
    std::snprintf(text, sizeof text, "StgZCalib -> %g", zStep);
    Show(sim, text, zCalibrated);
    ShowWhere(sim);

    std::printf("Closing\n");
    Show(sim, "StgZClose()", StgZClose());
    Show(sim, "ShtrClose(0)", ShtrClose(0));
    Show(sim, "StgXYClose()", StgXYClose());
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
    const std::string driverPath = argv[1];
    PrepareFiles(driverPath.substr(0, driverPath.find_last_of('\\') + 1));
    HMODULE simModule = LoadLibraryA("TolvoSim.dll");
    HMODULE driver = LoadLibraryA(driverPath.c_str());
    if (simModule == nullptr || driver == nullptr) {
        std::fprintf(stderr, "cannot load %s\n",
                     simModule == nullptr ? "TolvoSim.dll" : driverPath.c_str());
        return 1;
    }
    const Simulator sim = LoadSimulator(simModule);
    // Each motion keeps the simulated controller busy for a few polls.
    sim.busyPolls(3);
    sim.journalClear();
    RunSession(driver, sim);

    FreeLibrary(driver);
    FreeLibrary(simModule);
    OleUninitialize();
    return 0;
}
