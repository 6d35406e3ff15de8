#include "host/stage_commands.h"
#include "host/bench_output.h"
#include "host/command_args.h"
#include <cmath>
#include <cstdio>

namespace {
// A waited move returns when the stage stops: with the simulator's timed
// model that is its distance at the stated speed.
std::string StopText(const BenchContext& bench, double fromX, double fromY, double ms, int polls) {
    if (!bench.haveSim) {
        return "";
    }
    double x = 0.0;
    double y = 0.0;
    bench.sim.GetStagePosition(&x, &y);
    const double distance = std::hypot(x - fromX, y - fromY);
    return Format(
        "     stage stopped: wait ended after %.0f ms and %d busy polls (%.0f units at %.0f "
        "units/s: %.0f ms)\n",
        ms, polls, distance, kBenchStageSpeed, distance * 1000.0 / kBenchStageSpeed);
}

void XyMove(BenchContext& bench, const CommandArgs& a) {
    const int x = a.Int(1, "X");
    const int y = a.Int(2, "Y");
    const std::string flag = a.Word(3);
    if (!flag.empty() && flag != "wait") {
        a.Fail("the word after Y may only be \"wait\", not \"" + Printable(flag) + "\"");
    }
    a.End(4);
    const int wait = flag.empty() ? 0 : 1;
    double fromX = 0.0;
    double fromY = 0.0;
    int polls = 0;
    if (bench.haveSim) {
        bench.sim.GetStagePosition(&fromX, &fromY);
        polls = bench.sim.BusyPollCount();
    }
    const auto move = EXPORT(StgXYMove);
    const double start = Now();
    const int code = move(x, y, wait);
    const double ms = MillisecondsSince(start);
    PrintStatus(Format("StgXYMove(%d, %d, %d)", x, y, wait), code, "", ms);
    if (wait != 0) {
        polls = bench.haveSim ? bench.sim.BusyPollCount() - polls : 0;
        std::fputs(StopText(bench, fromX, fromY, ms, polls).c_str(), stdout);
    }
}

bool RunXy(BenchContext& bench, const std::string& name, const std::vector<ScriptWord>& words) {
    if (name == "xy.init") {
        CommandArgs(words, "xy.init").End(1);
        const auto init = EXPORT(StgXYInit);
        const double start = Now();
        const int code = init(&HostCallback);
        PrintStatus("StgXYInit(callback)", code, "", MillisecondsSince(start));
    } else if (name == "xy.move") {
        XyMove(bench, CommandArgs(words, "xy.move X Y [wait]"));
    } else if (name == "xy.step") {
        const CommandArgs a(words, "xy.step DX DY");
        const int dx = a.Int(1, "DX");
        const int dy = a.Int(2, "DY");
        a.End(3);
        const auto step = EXPORT(StgXYStep);
        const double start = Now();
        const int code = step(dx, dy);
        PrintStatus(Format("StgXYStep(%d, %d)", dx, dy), code, "", MillisecondsSince(start));
    } else if (name == "xy.report") {
        CommandArgs(words, "xy.report").End(1);
        const auto report = EXPORT(StgXYReport);
        int x = 0;
        int y = 0;
        const double start = Now();
        const int code = report(&x, &y);
        PrintStatus("StgXYReport", code, Format("x %d, y %d", x, y), MillisecondsSince(start));
    } else if (name == "xy.origin") {
        CommandArgs(words, "xy.origin").End(1);
        const auto origin = EXPORT(StgXYOrigin);
        const double start = Now();
        const int code = origin();
        PrintStatus("StgXYOrigin()", code, "", MillisecondsSince(start));
    } else if (name == "xy.speed") {
        const CommandArgs a(words, "xy.speed PERCENT");
        const int percent = a.Int(1, "PERCENT");
        a.End(2);
        const auto speed = EXPORT(StgXYSetSpeed);
        const double start = Now();
        const int code = speed(percent);
        PrintStatus(Format("StgXYSetSpeed(%d)", percent), code, "", MillisecondsSince(start));
    } else if (name == "xy.calib") {
        CommandArgs(words, "xy.calib").End(1);
        const auto calib = EXPORT(StgXYCalib);
        double x = 0.0;
        double y = 0.0;
        const double start = Now();
        const int code = calib(&x, &y);
        PrintStatus("StgXYCalib", code, Format("x %g, y %g", x, y), MillisecondsSince(start));
    } else if (name == "xy.close") {
        CommandArgs(words, "xy.close").End(1);
        const auto close = EXPORT(StgXYClose);
        const double start = Now();
        const int code = close();
        PrintStatus("StgXYClose()", code, "", MillisecondsSince(start));
    } else {
        return false;
    }
    return true;
}

bool RunZ(BenchContext& bench, const std::string& name, const std::vector<ScriptWord>& words) {
    if (name == "z.init") {
        CommandArgs(words, "z.init").End(1);
        const auto init = EXPORT(StgZInit);
        const double start = Now();
        const int code = init(&HostCallback);
        PrintStatus("StgZInit(callback)", code, "", MillisecondsSince(start));
    } else if (name == "z.move") {
        const CommandArgs a(words, "z.move Z");
        const int z = a.Int(1, "Z");
        a.End(2);
        const auto move = EXPORT(StgZMove);
        const double start = Now();
        const int code = move(z, 0);
        PrintStatus(Format("StgZMove(%d, 0)", z), code, "", MillisecondsSince(start));
    } else if (name == "z.step") {
        const CommandArgs a(words, "z.step STEPS");
        const int steps = a.Int(1, "STEPS");
        a.End(2);
        const auto step = EXPORT(StgZStep);
        const double start = Now();
        const int code = step(steps);
        PrintStatus(Format("StgZStep(%d)", steps), code, "", MillisecondsSince(start));
    } else if (name == "z.report") {
        CommandArgs(words, "z.report").End(1);
        const auto report = EXPORT(StgZReport);
        int z = 0;
        const double start = Now();
        const int code = report(&z);
        PrintStatus("StgZReport", code, Format("z %d", z), MillisecondsSince(start));
    } else if (name == "z.origin") {
        CommandArgs(words, "z.origin").End(1);
        const auto origin = EXPORT(StgZOrigin);
        const double start = Now();
        const int code = origin();
        PrintStatus("StgZOrigin()", code, "", MillisecondsSince(start));
    } else if (name == "z.calib") {
        CommandArgs(words, "z.calib").End(1);
        const auto calib = EXPORT(StgZCalib);
        double step = 0.0;
        const double start = Now();
        const int code = calib(&step);
        PrintStatus("StgZCalib", code, Format("step %g", step), MillisecondsSince(start));
    } else if (name == "z.close") {
        CommandArgs(words, "z.close").End(1);
        const auto close = EXPORT(StgZClose);
        const double start = Now();
        const int code = close();
        PrintStatus("StgZClose()", code, "", MillisecondsSince(start));
    } else {
        return false;
    }
    return true;
}
} // namespace

bool RunStageCommand(BenchContext& bench, const std::vector<ScriptWord>& words) {
    const std::string& name = words[0].text;
    return RunXy(bench, name, words) || RunZ(bench, name, words);
}
