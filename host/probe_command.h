// tolvo-host probe: checks the controller's four servers as the driver would
// use them, without moving anything, and writes what it found for support.
#pragma once
#include "host/probe_calls.h"
#include "host/probe_report.h"
#include <string>

struct ProbeOptions {
    ProbeLink link;
    std::string reportPath; // empty: ProbeReportPath()
};

// The words after "probe"; false, with what is wrong in `error`, on a bad one.
bool ParseProbeOptions(int argc, char** argv, ProbeOptions* options, std::string* error);
// Every check, on the calling thread, which must have initialised COM.
ProbeReport RunProbe(const ProbeOptions& options);
// Where the report goes without --out: tolvo-probe.txt in the current
// folder, or in the user's temporary folder when that cannot be written.
std::string ProbeReportPath();
// Writes `text` with Windows line ends; false when the file cannot be written.
bool WriteProbeReport(const std::string& path, const std::string& text);
// The whole command: runs, prints, writes the report; the exit status (0 every
// export would work, 1 a difference would make one fail, 2 a usage error).
int RunProbeCommand(int argc, char** argv);
// The command's usage lines.
extern const char kProbeUsage[];
