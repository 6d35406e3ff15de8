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

void PrintStatus(const std::string& call, int code, const std::string& values, double ms) {
    std::printf("  %-30s -> %3d %-15s %-28s %8.1f ms\n", call.c_str(), code,
                (std::string("(") + StatusMeaning(code) + ")").c_str(), values.c_str(), ms);
}

void PrintValue(const std::string& call, int value, const std::string& meaning, double ms) {
    std::printf("  %-30s -> %3d %-15s %-28s %8.1f ms\n", call.c_str(), value,
                ("(" + meaning + ")").c_str(), "", ms);
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
