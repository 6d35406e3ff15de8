#include "core/trace_session.h"
#include "core/controller_link.h"
#include "core/diagnostic_trace.h"
#include "core/module_files.h"
#include "core/module_state.h"
#include "core/settings_keys.h"
#include "stolvo_version.h"

namespace {
TraceLine& AddTwoDigits(TraceLine& line, int value) {
    return line.AddChar(static_cast<char>('0' + value / 10 % 10))
        .AddChar(static_cast<char>('0' + value % 10));
}

// "Port=0, opened as port 1" as the settings file holds it; the driver reads
// the same key when it initialises.
void AddStoredPort(TraceLine& line) {
    char text[32] = "";
    ReadStoredSetting(kPortKey, text, sizeof text);
    if (text[0] == '\0') {
        line.Add("no Port key (not configured)");
        return;
    }
    line.Add("Port=").AddQuoted(text);
    const int port = ReadSetting<kPortKey, SettingsReader::StageLoad>();
    if (port < 0) {
        line.Add(" (not configured)");
        return;
    }
    line.Add(", opened as port ").AddInt(PortArgument(port));
    if (PortArgument(port) == 0) {
        line.Add(" (the PCI interface)");
    }
}
} // namespace

void ForEachSessionHeaderLine(const TraceSwitches& switches, bool continued,
                              void (*emit)(const TraceLine& line)) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    TraceLine line;
    line.Add(continued ? "== trace continued " : "== trace session ").AddInt(now.wYear);
    AddTwoDigits(line.AddChar('-'), now.wMonth);
    AddTwoDigits(line.AddChar('-'), now.wDay);
    AddTwoDigits(line.AddChar(' '), now.wHour);
    AddTwoDigits(line.AddChar(':'), now.wMinute);
    AddTwoDigits(line.AddChar(':'), now.wSecond);
    line.Add(" local time");
    if (continued) {
        line.Add("; earlier lines in ").Add(kTraceOldFileName);
    }
    emit(line);

    char path[kPathSize] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    line = TraceLine();
    line.Add("== host: ").Add(path).Add(", process ").AddInt(GetCurrentProcessId());
    emit(line);

    path[0] = '\0';
    GetModuleFileNameA(ModuleInstance, path, sizeof path);
    line = TraceLine();
    line.Add("== driver: ").Add(path).Add(", version ").Add(STOLVO_VERSION_TEXT);
    emit(line);

    line = TraceLine();
    line.Add("== settings: ").Add(SettingsFilePath());
    emit(line);

    line = TraceLine();
    line.Add("== switches: Trace=").AddInt(switches.trace);
    line.Add(switches.fromEnvironment ? " (from STOLVO_TRACE)" : " (from the settings file)");
    line.Add(", TraceFileKB=").AddInt(switches.fileKiloBytes);
    emit(line);

    line = TraceLine();
    line.Add("== stored port: ");
    AddStoredPort(line);
    emit(line);
}
