#include "host/bench_output.h"
#include "host/command_args.h"
#include "host/device_commands.h"
#include "host/stage_commands.h"
#include <cstdio>

namespace {
// A sleep longer than this is more likely a typing slip than a wish.
constexpr int kLongestSleep = 60000;

void Sleep(const std::vector<ScriptWord>& words) {
    const CommandArgs a(words, "sleep MS (0 to 60000)");
    const int ms = a.Int(1, "MS");
    a.End(2);
    if (ms < 0 || ms > kLongestSleep) {
        a.Fail("MS must lie between 0 and 60000, not " + std::to_string(ms));
    }
    const double start = Now();
    ::Sleep(static_cast<DWORD>(ms));
    std::printf("  slept %.0f ms\n", MillisecondsSince(start));
}

// Where the simulated devices stand, read from the simulator itself.
void SimWhere(const BenchContext& bench, const std::vector<ScriptWord>& words) {
    CommandArgs(words, "sim").End(1);
    if (!bench.haveSim) {
        std::printf("  the registered servers are not our simulator in process\n");
        return;
    }
    double x = 0.0;
    double y = 0.0;
    bench.sim.GetStagePosition(&x, &y);
    std::printf("  simulator: stage (%.1f, %.1f), focus %.1f, shutters %d %d %d, wheels %d %d\n", x,
                y, bench.sim.GetFocusPosition(), bench.sim.GetShutterState(1),
                bench.sim.GetShutterState(2), bench.sim.GetShutterState(3),
                bench.sim.GetWheelPosition(1), bench.sim.GetWheelPosition(2));
}
} // namespace

void RunCommand(BenchContext& bench, const std::vector<ScriptWord>& words) {
    if (words[0].text == "sleep") {
        Sleep(words);
    } else if (words[0].text == "sim") {
        SimWhere(bench, words);
    } else if (!RunStageCommand(bench, words) && !RunDeviceCommand(bench, words)) {
        throw ScriptError("unknown command \"" + Printable(words[0].text) +
                          "\" (commands: " + CommandSummary() + ")");
    }
    PrintSimulatorCalls(bench);
}

const char* CommandSummary() {
    return "xy.init|move X Y [wait]|step DX DY|report|origin|speed P|calib|close, "
           "z.init|move Z|step N|report|origin|calib|close, "
           "shutter N init|open|close|state|name|release, "
           "wheel N init|names|report|release|position \"NAME\"|K, sleep MS, sim";
}
