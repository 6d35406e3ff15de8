// Reading a command's arguments; each failure is a ScriptError that says
// what the command expects.
#pragma once
#include "host/bench_context.h"
#include "host/format_text.h"

class CommandArgs {
  public:
    CommandArgs(const std::vector<ScriptWord>& words, const char* usage)
        : words_(words), usage_(usage) {}
    // The whole number at `index` (the command is 0), named `what`.
    int Int(size_t index, const char* what) const;
    // The word at `index`, or "" when the line ends before it.
    std::string Word(size_t index) const;
    bool Quoted(size_t index) const;
    size_t Count() const { return words_.size(); }
    // No words after `count`.
    void End(size_t count) const;
    [[noreturn]] void Fail(const std::string& what) const;

  private:
    const std::vector<ScriptWord>& words_;
    const char* usage_;
};

// An export the script needs; a driver without it is a script error.
template <typename F> F Need(F function, const char* name) {
    if (function == nullptr) {
        throw ScriptError(std::string("the driver does not export ") + name);
    }
    return function;
}
#define EXPORT(name) Need(bench.driver.name, #name)

// The host's callback: the driver records it and never calls it.
int HostCallback();

// The bench's own command line: options first, then the mode and its
// arguments. A mode is a row of the table in command_args.cpp.
enum class BenchMode { Session, Run, Pages, Help };

struct BenchOptions {
    BenchMode mode = BenchMode::Session;
    bool prepare = false; // write the rig's files first (always for the session)
    bool trace = false;   // the driver's trace, shown by the bench
    bool strict = false;  // any call that does not succeed makes the exit status 1
    bool inPlace = false; // the rig is the bench's own folder, not a scratch folder
    std::string file;     // run FILE
    bool selftest = false;
    int firstDevice = 0; // pages --select N
};

// FALSE with `error` saying what is wrong, naming the word.
bool ParseBenchCommandLine(int argc, const char* const* argv, BenchOptions* options,
                           std::string* error);

// The usage lines; BenchHelp adds what each option and mode does, the
// script's commands and the exit statuses.
const char* BenchUsage();
std::string BenchHelp();
