#include "host/device_commands.h"
#include "host/bench_output.h"
#include "host/command_args.h"
#include <cstdio>

namespace {
constexpr const char* kShutterUsage = "shutter N init|open|close|state|name|release";
constexpr const char* kWheelUsage =
    "wheel N init|names|report|release, or wheel N position \"NAME\"|K";

// Hands out slots up to `slot` (at most the family's count) before its use.
template <typename F>
void HandOut(F getInstance, const char* name, int slot, int limit, int* handed) {
    while (*handed <= slot && *handed < limit) {
        const double start = Now();
        const int got = getInstance(0);
        PrintValue(Format("%s(0)", name), got, "slot", MillisecondsSince(start));
        ++*handed;
    }
}

void RunShutter(BenchContext& bench, const CommandArgs& a) {
    const int slot = a.Int(1, "N");
    const std::string action = a.Word(2);
    a.End(3);
    HandOut(EXPORT(ShtrGetInstance), "ShtrGetInstance", slot, STOLVO_MAX_SHUTTERS,
            &bench.shutterSlots);
    const double start = Now();
    if (action == "init") {
        const int code = EXPORT(ShtrInit)(slot, &HostCallback);
        PrintStatus(Format("ShtrInit(%d, callback)", slot), code, "", MillisecondsSince(start));
    } else if (action == "open" || action == "close") {
        const int state = action == "open" ? 1 : 0;
        const int code = EXPORT(ShtrSetOpen)(slot, state);
        PrintStatus(Format("ShtrSetOpen(%d, %d)", slot, state), code, "", MillisecondsSince(start));
    } else if (action == "state") {
        const int state = EXPORT(ShtrGetOpen)(slot);
        PrintValue(Format("ShtrGetOpen(%d)", slot), state, state == 1 ? "open" : "closed or error",
                   MillisecondsSince(start));
    } else if (action == "name") {
        char name[STOLVO_NAME_SIZE] = "";
        const int code = EXPORT(ShtrGetName)(slot, name);
        PrintStatus(Format("ShtrGetName(%d)", slot), code, Format("\"%s\"", name),
                    MillisecondsSince(start));
    } else if (action == "release") {
        const int code = EXPORT(ShtrClose)(slot);
        PrintStatus(Format("ShtrClose(%d)", slot), code, "", MillisecondsSince(start));
    } else {
        a.Fail(action.empty() ? "missing action" : "unknown action \"" + Printable(action) + "\"");
    }
}

void ShowNames(BenchContext& bench, int slot) {
    double start = Now();
    const int count = EXPORT(FWGetCount)(slot);
    PrintValue(Format("FWGetCount(%d)", slot), count, "positions", MillisecondsSince(start));
    for (int p = STOLVO_WHEEL_ITSELF; p < count && p < STOLVO_MAX_WHEEL_POSITIONS; ++p) {
        char name[STOLVO_NAME_SIZE] = "";
        start = Now();
        const int code = EXPORT(FWGetName)(slot, p, name);
        PrintStatus(Format("FWGetName(%d, %d)", slot, p), code, Format("\"%s\"", name),
                    MillisecondsSince(start));
    }
}

// The position of that name, as the host finds it: the first whose name the
// driver reports equal; -1 when none is.
int FindPosition(BenchContext& bench, int slot, const std::string& wanted) {
    const int count = EXPORT(FWGetCount)(slot);
    for (int p = 0; p < count && p < STOLVO_MAX_WHEEL_POSITIONS; ++p) {
        char name[STOLVO_NAME_SIZE] = "";
        if (EXPORT(FWGetName)(slot, p, name) == 0 && wanted == name) {
            return p;
        }
    }
    return -1;
}

void TurnWheel(BenchContext& bench, const CommandArgs& a, int slot) {
    a.End(4);
    int position = 0;
    if (a.Quoted(3)) {
        position = FindPosition(bench, slot, a.Word(3));
        if (position < 0) {
            std::printf("  wheel %d has no position named \"%s\"\n", slot,
                        Printable(a.Word(3)).c_str());
            return;
        }
    } else {
        position = a.Int(3, "K (or a quoted position name)");
    }
    const double start = Now();
    const int code = EXPORT(FWSetPosition)(slot, position);
    PrintStatus(Format("FWSetPosition(%d, %d)", slot, position), code,
                a.Quoted(3) ? "\"" + Printable(a.Word(3)) + "\"" : "", MillisecondsSince(start));
}

void RunWheel(BenchContext& bench, const CommandArgs& a) {
    const int slot = a.Int(1, "N");
    const std::string action = a.Word(2);
    if (action != "position") {
        a.End(3);
    }
    HandOut(EXPORT(FWGetInstance), "FWGetInstance", slot, STOLVO_MAX_FILTER_WHEELS,
            &bench.wheelSlots);
    const double start = Now();
    if (action == "init") {
        const int code = EXPORT(FWInit)(slot, &HostCallback);
        PrintStatus(Format("FWInit(%d, callback)", slot), code, "", MillisecondsSince(start));
    } else if (action == "names") {
        ShowNames(bench, slot);
    } else if (action == "position") {
        TurnWheel(bench, a, slot);
    } else if (action == "report") {
        const int position = EXPORT(FWGetPosition)(slot);
        const double ms = MillisecondsSince(start);
        char name[STOLVO_NAME_SIZE] = "";
        EXPORT(FWGetName)(slot, position, name);
        PrintValue(Format("FWGetPosition(%d)", slot), position, Format("\"%s\"", name), ms);
    } else if (action == "release") {
        const int code = EXPORT(FWClose)(slot);
        PrintStatus(Format("FWClose(%d)", slot), code, "", MillisecondsSince(start));
    } else {
        a.Fail(action.empty() ? "missing action" : "unknown action \"" + Printable(action) + "\"");
    }
}
} // namespace

bool RunDeviceCommand(BenchContext& bench, const std::vector<ScriptWord>& words) {
    if (words[0].text == "shutter") {
        RunShutter(bench, CommandArgs(words, kShutterUsage));
    } else if (words[0].text == "wheel") {
        RunWheel(bench, CommandArgs(words, kWheelUsage));
    } else {
        return false;
    }
    return true;
}
