#include "host/probe_command.h"
#include "host/probe_members.h"
#include "host/probe_text.h"
#include <ole2.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

const char kProbeUsage[] =
    "       tolvo-host probe [--open-port N] [--out FILE]\n"
    "probe: checks the controller's servers (tolvo.scan, tolvo.stage, tolvo.Z, tolvo.filter)\n"
    "  as the driver would use them: registration, binding, every member's type information,\n"
    "  and the calls that move nothing. It opens the link only with --open-port N (N as the\n"
    "  driver passes it: 1 to 4 for COM1 to COM4, 0 for the PCI interface) and never moves a\n"
    "  device. Exit 0: every export would work; 1: a difference would make one fail.\n"
    "  The report also goes to FILE (default: tolvo-probe.txt in the current folder, else in\n"
    "  the temporary folder).\n";

namespace {
constexpr char kReportName[] = "tolvo-probe.txt";

bool ParsePort(const char* text, LONG* port) {
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || value < 0 || value > 255) {
        return false;
    }
    *port = value;
    return true;
}

bool CanWrite(const std::string& path) {
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(file);
    return true;
}

std::string LocalTime() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return Format("%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth, now.wDay, now.wHour,
                  now.wMinute, now.wSecond);
}
} // namespace

bool ParseProbeOptions(int argc, char** argv, ProbeOptions* options, std::string* error) {
    for (int i = 0; i < argc; ++i) {
        const bool last = i + 1 >= argc;
        if (std::strcmp(argv[i], "--open-port") == 0 && !options->link.open) {
            if (last || !ParsePort(argv[i + 1], &options->link.portArgument)) {
                *error = Format("--open-port needs a port argument from 0 to 255, not \"%s\"",
                                last ? "" : argv[i + 1]);
                return false;
            }
            options->link.open = true;
            ++i;
        } else if (std::strcmp(argv[i], "--out") == 0 && options->reportPath.empty()) {
            if (last || argv[i + 1][0] == '\0') {
                *error = "--out needs a file name";
                return false;
            }
            options->reportPath = argv[++i];
        } else {
            *error = Format("unexpected \"%s\"", argv[i]);
            return false;
        }
    }
    return true;
}

ProbeReport RunProbe(const ProbeOptions& options) {
    ProbeReport report;
    report.Note(Format("tolvo-host probe, %s: the controller's servers as STolvo32.dll would use "
                       "them (nothing is moved; %s)",
                       LocalTime().c_str(),
                       options.link.open
                           ? Format("the link is opened with port argument %ld and closed again",
                                    static_cast<long>(options.link.portArgument))
                                 .c_str()
                           : "no port is opened"));
    ProbedServer servers[kProbedServerCount];
    DescribeServers(servers);
    for (ProbedServer& server : servers) {
        report.Note("== " + Narrow(server.progId));
        CheckRegistration(server, report);
        BindServer(server, report);
        CheckMembers(server, report);
    }
    report.Note("== calls that move nothing");
    MakeSafeCalls(servers, options.link, report);
    return report;
}

std::string ProbeReportPath() {
    char folder[MAX_PATH] = "";
    const DWORD length = GetCurrentDirectoryA(MAX_PATH, folder);
    if (length > 0 && length < MAX_PATH) {
        std::string path =
            std::string(folder) + (folder[length - 1] == '\\' ? "" : "\\") + kReportName;
        if (CanWrite(path)) {
            return path;
        }
    }
    const DWORD tempLength = GetTempPathA(MAX_PATH, folder);
    return tempLength > 0 && tempLength < MAX_PATH ? std::string(folder) + kReportName
                                                   : std::string(kReportName);
}

bool WriteProbeReport(const std::string& path, const std::string& text) {
    std::string windowsText;
    for (const char c : text) {
        windowsText += c == '\n' ? "\r\n" : std::string(1, c);
    }
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written =
        std::fwrite(windowsText.data(), 1, windowsText.size(), file) == windowsText.size();
    return std::fclose(file) == 0 && written;
}

int RunProbeCommand(int argc, char** argv) {
    ProbeOptions options;
    std::string error;
    if (!ParseProbeOptions(argc, argv, &options, &error)) {
        std::fprintf(stderr, "tolvo-host probe: %s\nusage:\n%s", error.c_str(), kProbeUsage);
        return 2;
    }
    if (FAILED(OleInitialize(nullptr))) {
        std::fprintf(stderr, "OLE could not be initialised\n");
        return 1;
    }
    const ProbeReport report = RunProbe(options);
    OleUninitialize();
    const std::string text = report.Text();
    std::fputs(text.c_str(), stdout);
    const std::string path = options.reportPath.empty() ? ProbeReportPath() : options.reportPath;
    if (WriteProbeReport(path, text)) {
        std::printf("report written to %s\n", path.c_str());
    } else {
        std::fprintf(stderr, "cannot write the report to %s: %s\n", path.c_str(),
                     std::strerror(errno));
    }
    return report.ExitStatus();
}
