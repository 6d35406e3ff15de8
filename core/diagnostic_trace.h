// The diagnostic trace: off unless switched on, and then a record of every
// export call and every dispatch call, sent to the debugger's output and,
// when asked, to a file of bounded size beside the module.
//
// Switched by "Trace" in the "Diagnostics" section of "STolvo.INI" (a section
// the driver only reads) or by the environment variable STOLVO_TRACE, which
// wins when it holds one of the values: 0 off, 1 debugger output, 2 debugger output and the file
// "STolvoTrace.log". "TraceFileKB" bounds the file (default 1024); a full file
// becomes "STolvoTrace.old.log" and a new one is started. The switch is read
// at the first call after the module is loaded.
#pragma once
#include <windows.h>

class TraceLine;

enum class TraceMode : unsigned char { Off, Unread, DebugOutput, DebugOutputAndFile };

struct DiagnosticTraceState {
    TraceMode mode;
    DWORD fileLimit; // bytes
};
// Module-wide; its owner is the trace's switch (core/diagnostic_trace.cpp),
// which reads it at the first call; the calls only test it.
extern DiagnosticTraceState DiagnosticTrace;

constexpr char kTraceEnvironment[] = "STOLVO_TRACE";
constexpr char kTraceFileName[] = "STolvoTrace.log";
constexpr char kTraceOldFileName[] = "STolvoTrace.old.log";

// What every export and dispatch call runs even with the trace off. The
// size-optimised build would otherwise make each of them a call of its own.
#define TRACE_INLINE inline __attribute__((always_inline))

// Reads the switch; true when the trace is on.
bool ReadTraceSwitch();

// Whether calls are to be recorded. Off, it costs a test of one byte.
TRACE_INLINE bool TraceIsOn() {
    const TraceMode mode = DiagnosticTrace.mode;
    if (mode == TraceMode::Off) {
        return false;
    }
    return mode != TraceMode::Unread || ReadTraceSwitch();
}

// Sends one line after "STolvo32 ", the time and the thread, ending in "\n"
// for the debugger and "\r\n" in the file. Nested lines are indented by
// `depth` steps. A line that repeats the one before it (same thread, same text
// in `key`, as a waiting loop's polls do) is counted, and the count is written
// when something else follows.
void EmitTraceLine(const TraceLine& line, int depth, const TraceLine* key = nullptr);

// How deep this thread is in traced export calls (an export the driver calls
// from another one is nested).
int TraceLevel();
void SetTraceLevel(int level);

// Time stamps for durations.
LONGLONG TraceClock();
double TraceMilliseconds(LONGLONG start, LONGLONG end);

// Module attach and detach: the lock, and closing the file.
void StartDiagnosticTrace();
void StopDiagnosticTrace(bool processEnding);
