// What the robustness tests share: the figures they add up and print at the
// end, a clock for each call against its time-out, and byte snapshots of the
// driver's folder.
#pragma once
#include "test_support.h"
#include "config/device_roster.h"
#include <map>
#include <string>

// Totals of one run, printed when the program ends; a breach fails the run.
struct RobustnessFigures {
    int matrixCases = 0;
    long long callsFuzzed = 0;
    long long invariantsChecked = 0;
    int filesFuzzed = 0;
    int crashes = 0; // exceptions that crossed an export
    int leakedReferences = 0;
    DWORD longestWaitMs = 0; // the call that came closest to its limit
    DWORD longestWaitLimitMs = 0;
    int waitsOverLimit = 0;
};
RobustnessFigures& Figures();

// Slack for the emulated machine: a call may take this much beyond its time-out.
constexpr DWORD kWaitSlackMs = 1500;

// Runs `call` and records its duration against `limitMs`; false when it took
// longer than the limit and its slack.
template <typename Call> auto Timed(DWORD limitMs, Call&& call) {
    const DWORD start = GetTickCount();
    auto result = call();
    const DWORD took = GetTickCount() - start;
    RobustnessFigures& f = Figures();
    if (took > limitMs + kWaitSlackMs) {
        ++f.waitsOverLimit;
    }
    if (f.longestWaitLimitMs == 0 ||
        took * 1.0 / (limitMs + 1) > f.longestWaitMs * 1.0 / (f.longestWaitLimitMs + 1)) {
        f.longestWaitMs = took;
        f.longestWaitLimitMs = limitMs;
    }
    return result;
}

// Every file directly in `folder`, name to bytes.
using FolderSnapshot = std::map<std::string, std::string>;
FolderSnapshot SnapshotFolder(const std::string& folder);
// Names of the files whose bytes differ, appeared or vanished.
std::string FolderDifferences(const FolderSnapshot& before, const FolderSnapshot& after);

bool SameRoster(const DeviceRosterTable& a, const DeviceRosterTable& b);
// Whether every name field of the roster ends within its 60 bytes.
bool RosterNamesTerminated(const DeviceRosterTable& roster);
// The driver's live objects once it is unloaded, counted into the figures.
int LeakedAfterUnload(LoadedDriver& driver);
