// The driver's diagnostic trace in the bench: switched on through the
// environment before the driver is loaded (to the debugger's output and the
// file beside the driver), its lines caught in process as the driver sends
// them to the debugger's output.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

// Sets STOLVO_TRACE=2 and starts catching the driver's lines; with `print`,
// each line is also printed as it comes, indented under the command that
// caused it. Call before the driver is loaded.
void StartTraceCapture(bool print);
void StopTraceCapture();

// While one lives, the lines this thread causes are neither printed nor kept:
// the bench's own reads for its status line would drown everything else.
class TraceQuiet {
  public:
    TraceQuiet();
    ~TraceQuiet();
    TraceQuiet(const TraceQuiet&) = delete;
    TraceQuiet& operator=(const TraceQuiet&) = delete;
};

// The most recent lines kept (at most 200), oldest first, each without the
// driver's name and with its time and thread.
std::vector<std::string> RecentTraceLines();
// How many lines have been kept so far; a change means new lines.
unsigned long TraceLinesKept();

// The trace file beside the loaded driver.
std::string TraceFilePath(HMODULE driver);
