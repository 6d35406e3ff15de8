#include "host/command_args.h"
#include <cstdio>
#include <cstring>

int CommandArgs::Int(size_t index, const char* what) const {
    if (index >= words_.size()) {
        Fail(std::string("missing ") + what);
    }
    int value = 0;
    if (words_[index].quoted || !ParseInt(words_[index].text, &value)) {
        Fail(std::string(what) + " must be a whole number from -2147483648 to 2147483647, not \"" +
             Printable(words_[index].text) + "\"");
    }
    return value;
}

std::string CommandArgs::Word(size_t index) const {
    return index < words_.size() ? words_[index].text : std::string();
}

bool CommandArgs::Quoted(size_t index) const {
    return index < words_.size() && words_[index].quoted;
}

void CommandArgs::End(size_t count) const {
    if (words_.size() > count) {
        Fail("unexpected \"" + Printable(words_[count].text) + "\"");
    }
}

void CommandArgs::Fail(const std::string& what) const {
    throw ScriptError(words_[0].text + ": " + what + " (expected: " + usage_ + ")");
}

int HostCallback() {
    return 0;
}

namespace {
using Words = std::vector<std::string>;

bool RunArgs(const Words& rest, BenchOptions* options, std::string* error) {
    if (rest.empty()) {
        *error = "run: missing FILE (expected: run FILE)";
        return false;
    }
    if (rest.size() > 1) {
        *error = "run: unexpected \"" + Printable(rest[1]) + "\" after FILE" +
                 (rest[1].rfind("--", 0) == 0 ? " (options come before the mode)" : "");
        return false;
    }
    options->file = rest[0];
    return true;
}

bool PagesArgs(const Words& rest, BenchOptions* options, std::string* error) {
    if (rest.size() == 1 && rest[0] == "--selftest") {
        options->selftest = true;
        return true;
    }
    if (!rest.empty() && rest[0] == "--select") {
        if (rest.size() != 2 || !ParseInt(rest[1], &options->firstDevice)) {
            *error = "pages: --select needs one whole number N, the device selected first";
            return false;
        }
        return true;
    }
    if (!rest.empty()) {
        *error = "pages: unexpected \"" + Printable(rest[0]) +
                 "\" (expected: pages [--selftest | --select N]; options come before the mode)";
        return false;
    }
    return true;
}

// The probe is read in probe_command.cpp; it comes first, before any option.
bool ProbeArgs(const Words&, BenchOptions*, std::string* error) {
    *error = "probe: name it first, before any option (tolvo-host probe [--open-port N] [--out "
             "FILE])";
    return false;
}

struct ModeRow {
    const char* name;
    BenchMode mode;
    bool (*parse)(const Words& rest, BenchOptions* options, std::string* error);
};

const ModeRow kModes[] = {
    {"run", BenchMode::Run, RunArgs},
    {"pages", BenchMode::Pages, PagesArgs},
    {"probe", BenchMode::Help, ProbeArgs},
};

std::string ModeNames() {
    std::string names;
    for (const ModeRow& row : kModes) {
        names += (names.empty() ? "" : ", ") + std::string(row.name);
    }
    return names;
}
} // namespace

bool ParseBenchCommandLine(int argc, const char* const* argv, BenchOptions* options,
                           std::string* error) {
    *options = BenchOptions();
    int arg = 1;
    for (; arg < argc && argv[arg][0] == '-'; ++arg) {
        const std::string word = argv[arg];
        bool* flag = word == "--prepare"    ? &options->prepare
                     : word == "--trace"    ? &options->trace
                     : word == "--strict"   ? &options->strict
                     : word == "--in-place" ? &options->inPlace
                                            : nullptr;
        if (word == "--help" || word == "-h" || word == "-?") {
            options->mode = BenchMode::Help;
            return true;
        }
        if (flag == nullptr) {
            *error = "unknown option \"" + Printable(word) +
                     "\" (options: --in-place, --prepare, --trace, --strict, --help)";
            return false;
        }
        if (*flag) {
            *error = "\"" + word + "\" given twice";
            return false;
        }
        *flag = true;
    }
    if (arg == argc) {
        // The built-in session runs on the sample rig.
        options->prepare = true;
        return true;
    }
    const std::string mode = argv[arg];
    for (const ModeRow& row : kModes) {
        if (mode == row.name) {
            options->mode = row.mode;
            return row.parse(Words(argv + arg + 1, argv + argc), options, error);
        }
    }
    *error = "unknown mode \"" + Printable(mode) + "\" (modes: " + ModeNames() +
             "; none runs the built-in session)";
    return false;
}

const char* BenchUsage() {
    return "usage: tolvo-host [--in-place] [--trace] [--strict]\n"
           "       tolvo-host [--in-place] [--prepare] [--trace] [--strict] run FILE\n"
           "       tolvo-host [--in-place] [--prepare] [--trace] pages [--selftest | --select N]\n"
           "       tolvo-host probe [--open-port N] [--out FILE]\n"
           "       tolvo-host --help\n";
}

std::string BenchHelp() {
    // One family of commands a line.
    std::string commands = CommandSummary();
    for (size_t at = commands.find(", "); at != std::string::npos; at = commands.find(", ", at)) {
        commands.replace(at, 2, "\n  ");
    }
    return std::string(BenchUsage()) +
           "\n"
           "tolvo-host copies STolvo32.dll, and the configuration files beside the bench,\n"
           "into a scratch folder of its own (printed as \"rig folder:\"), loads the copy as\n"
           "the imaging host does and drives it against the registered controller servers\n"
           "(the simulator, when TolvoSim.dll is registered). Each call is printed with its\n"
           "result and meaning, what it returned and how long it took. The files beside the\n"
           "bench are never written unless --in-place is given.\n"
           "\n"
           "modes:\n"
           "  (none)         write the sample rig's files beside the driver's copy\n"
           "                 (KROHW.INI, STolvo.INI, two filter sets) and run the built-in\n"
           "                 session\n"
           "  run FILE       run a script of commands, one a line; '#' starts a comment\n"
           "  pages          a host-like configuration window with the driver's pages;\n"
           "                 --select N selects device N first, --selftest checks each\n"
           "                 page and closes\n"
           "  probe          check the controller's servers as the driver would use them,\n"
           "                 without moving anything, and write tolvo-probe.txt for support;\n"
           "                 --open-port N also opens the link, --out FILE names the report\n"
           "options:\n"
           "  --in-place     the rig is the bench's own folder: the driver beside the bench\n"
           "                 is loaded and writes its files there (KROHW.INI too)\n"
           "  --prepare      write the sample rig's files first (run, pages)\n"
           "  --trace        switch the driver's trace on (STOLVO_TRACE=2): its lines under\n"
           "                 each command, or in a pane of the window, and STolvoTrace.log\n"
           "                 beside the driver\n"
           "  --strict       a driver call that does not succeed makes the exit status 1\n"
           "  --help         this text\n"
           "\n"
           "script commands:\n  " +
           commands +
           "\n"
           "\n"
           "exit status: 0 done; 1 a script line with errors, a call that did not succeed\n"
           "with --strict, or the window's self-test failed; 2 a wrong command line or a\n"
           "script that cannot be opened.\n";
}
