// The header that opens each trace session and each new trace file: when,
// which host process, which driver, which settings file, which switches and
// the stored port, so that a trace sent to support says where it came from.
#pragma once
#include "core/trace_line.h"

struct TraceSwitches {
    int trace;            // 1 or 2
    bool fromEnvironment; // STOLVO_TRACE rather than the settings file
    int fileKiloBytes;    // the bound in effect
};

// Set apart from an earlier session's lines in the same file.
constexpr char kTraceSessionRule[] =
    "--------------------------------------------------------------------------------";

// Hands the header's lines to `emit`, one at a time. `continued` for a file
// started because the one before it was full. Reads the stored port from the
// settings file without writing anything.
void ForEachSessionHeaderLine(const TraceSwitches& switches, bool continued,
                              void (*emit)(const TraceLine& line));
