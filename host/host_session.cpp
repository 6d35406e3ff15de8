// Loads the driver as the imaging host does and runs a short session against
// the controller simulator: the XY stage, the focus drive, two shutters and
// two filter wheels. It prepares the host's hardware file, the driver's
// settings and the wheels' filter sets beside the driver, then prints every
// call, its result, and what the simulator saw.
//
// Usage: host_session <path of STolvo32.dll>
#include <windows.h>
#include <ole2.h>
#include <cstdio>
#include <cstring>
#include <string>
#include "devices/filter_wheels.h"
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
    decltype(&SimGetWheelPosition) wheelPosition;
};

Simulator LoadSimulator(HMODULE module) {
    return Simulator{module,
                     Export<decltype(&SimJournalCount)>(module, "SimJournalCount"),
                     Export<decltype(&SimJournalEntry)>(module, "SimJournalEntry"),
                     Export<decltype(&SimJournalClear)>(module, "SimJournalClear"),
                     Export<decltype(&SimGetStagePosition)>(module, "SimGetStagePosition"),
                     Export<decltype(&SimGetFocusPosition)>(module, "SimGetFocusPosition"),
                     Export<decltype(&SimGetShutterState)>(module, "SimGetShutterState"),
                     Export<decltype(&SimSetBusyPolls)>(module, "SimSetBusyPolls"),
                     Export<decltype(&SimGetWheelPosition)>(module, "SimGetWheelPosition")};
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

void ShowWheels(const Simulator& sim) {
    std::printf("  simulator: wheels 1 and 2 at positions %d %d\n", sim.wheelPosition(1),
                sim.wheelPosition(2));
}

// The filter sets of the two wheels: position names 1 to 10, each set saved
// from its own wheel's slot.
struct WheelSet {
    const char* name;
    const char* positions[10];
};
const WheelSet kWheelSets[] = {
    {"Excitation",
     {"Open", "DAPI", "FITC", "GFP", "TRITC", "Cy3", "Cy5", "Texas Red", "YFP", "Blocked"}},
    {"Emission",
     {"Open", "Blue", "Green", "Yellow", "Orange", "Red", "Far Red", "Quad Band", "Dual Band",
      "Blocked"}},
};

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
    for (int slot = 0; slot < 2; ++slot) {
        const WheelSet& set = kWheelSets[slot];
        const std::string section = "FilterWheel" + std::to_string(slot + 1);
        WritePrivateProfileStringA(section.c_str(), "Name", set.name, settings.c_str());
        const std::string file = folder + set.name + ".TolvoFW";
        for (int p = 0; p < 10; ++p) {
            const std::string key = "Position" + std::to_string(p + 1) + "Name";
            WritePrivateProfileStringA(section.c_str(), key.c_str(), set.positions[p],
                                       file.c_str());
        }
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, file.c_str());
    }
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, settings.c_str());
}

// The driver records the host's callback and never calls it.
int HostReady() {
    return 0;
}

// Turns a wheel to the position of that name, as the host does: the position
// whose name the driver reports equal to `wanted`, then a move there.
void TurnWheelTo(HMODULE driver, const Simulator& sim, int wheel, const char* wanted) {
    EXPORT(FWGetCount);
    EXPORT(FWGetName);
    EXPORT(FWSetPosition);
    const int count = FWGetCount(wheel);
    for (int p = 0; p < count; ++p) {
        char name[60] = "";
        if (FWGetName(wheel, p, name) == 0 && std::strcmp(name, wanted) == 0) {
            char call[80];
            std::snprintf(call, sizeof call, "FWSetPosition(%d, %d) \"%s\"", wheel, p, wanted);
            Show(sim, call, FWSetPosition(wheel, p));
            return;
        }
    }
    sim.journalClear();
    std::printf("  wheel %d has no position named \"%s\"\n", wheel, wanted);
}

// Reads back where a wheel stands and the name of that position.
void ShowWheelPosition(HMODULE driver, const Simulator& sim, int wheel) {
    EXPORT(FWGetPosition);
    EXPORT(FWGetName);
    const int position = FWGetPosition(wheel);
    char name[60] = "";
    const int named = FWGetName(wheel, position, name);
    char call[80];
    std::snprintf(call, sizeof call, "FWGetPosition(%d) -> %d \"%s\"", wheel, position, name);
    Show(sim, call, named);
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
    EXPORT(FWGetInstance);
    EXPORT(FWInit);
    EXPORT(FWGetCount);
    EXPORT(FWGetName);
    EXPORT(FWClose);
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

    std::printf("Filter wheels\n");
    Show(sim, "FWGetInstance(0)", FWGetInstance(0));
    Show(sim, "FWGetInstance(0)", FWGetInstance(0));
    Show(sim, "FWInit(0, callback)", FWInit(0, callback));
    Show(sim, "FWInit(1, callback)", FWInit(1, callback));
    for (int wheel = 0; wheel < 2; ++wheel) {
        char set[60] = "";
        const int named = FWGetName(wheel, -1, set);
        Show(sim, "FWGetName(" + std::to_string(wheel) + ", -1) -> \"" + set + "\"", named);
        Show(sim, "FWGetCount(" + std::to_string(wheel) + ")", FWGetCount(wheel));
    }
    TurnWheelTo(driver, sim, 0, "GFP");
    TurnWheelTo(driver, sim, 1, "Green");
    ShowWheelPosition(driver, sim, 0);
    ShowWheelPosition(driver, sim, 1);
    ShowWheels(sim);
    TurnWheelTo(driver, sim, 0, "Cy5");
    TurnWheelTo(driver, sim, 1, "Far Red");
    TurnWheelTo(driver, sim, 1, "Violet");
    ShowWheelPosition(driver, sim, 0);
    ShowWheelPosition(driver, sim, 1);
    ShowWheels(sim);

    std::printf("Closing\n");
    Show(sim, "StgZClose()", StgZClose());
    Show(sim, "ShtrClose(0)", ShtrClose(0));
    Show(sim, "FWClose(0)", FWClose(0));
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
