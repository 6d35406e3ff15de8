// What a bench command works with: the driver's exports, the simulator when
// it is ours in process, and the slots handed out so far.
#pragma once
#include "host/driver_exports.h"
#include "host/script_words.h"
#include "host/sim_link.h"
#include <stdexcept>
#include <string>
#include <vector>

struct BenchContext {
    DriverExports driver;
    SimLink sim;
    bool haveSim;
    int shutterSlots; // handed out by ShtrGetInstance so far
    int wheelSlots;   // handed out by FWGetInstance so far
};

// A mistake in the script: what was expected, without the line number, which
// the runner adds.
class ScriptError : public std::runtime_error {
  public:
    explicit ScriptError(const std::string& what) : std::runtime_error(what) {}
};

// The meaning of an export's status code.
const char* StatusMeaning(int code);

// Runs one command (the words of a line, the command first); prints each
// export call with its result, returned values and duration. Throws
// ScriptError for a command or arguments it does not understand.
void RunCommand(BenchContext& bench, const std::vector<ScriptWord>& words);

// The command names with their arguments, for usage texts.
const char* CommandSummary();
