#include "host/bench_output.h"
#include <cstdio>

double Now() {
    LARGE_INTEGER count;
    LARGE_INTEGER frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(count.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double MillisecondsSince(double start) {
    return Now() - start;
}

const char* StatusMeaning(int code) {
    switch (code) {
    case 0:
        return "done";
    case 1:
        return "not bound";
    case -1:
        return "link failed";
    case -2:
        return "not configured";
    case -5:
        return "bad slot";
    case -6:
        return "bad position";
    default:
        return "unknown code";
    }
}

namespace {
CallTally tally{0, 0};
} // namespace

CallTally Tally() {
    return tally;
}

void PrintStatus(const std::string& call, int code, const std::string& values, double ms) {
    ++tally.calls;
    tally.failed += code != 0 ? 1 : 0;
    std::printf("  %-30s -> %3d %-15s %-28s %8.1f ms\n", call.c_str(), code,
                (std::string("(") + StatusMeaning(code) + ")").c_str(), values.c_str(), ms);
}

void PrintValue(const std::string& call, int value, const std::string& meaning, double ms) {
    ++tally.calls;
    tally.failed += value < 0 ? 1 : 0;
    const std::string shown = value < 0 ? std::string(StatusMeaning(value)) : meaning;
    std::printf("  %-30s -> %3d %-15s %-28s %8.1f ms\n", call.c_str(), value,
                ("(" + shown + ")").c_str(), "", ms);
}

void PrintSimulatorCalls(const BenchContext& bench) {
    if (!bench.haveSim) {
        return;
    }
    std::string seen;
    for (const std::string& text : TakeJournal(bench.sim)) {
        seen += (seen.empty() ? "" : "  ") + text;
    }
    if (!seen.empty()) {
        std::printf("     simulator: %s\n", seen.c_str());
    }
}
