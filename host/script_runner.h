// Runs a script: each line's command with its line number, and its comment;
// a line the bench cannot run is reported with its number and what was
// expected, and the script goes on.
#pragma once
#include "host/bench_context.h"
#include <istream>
#include <string>

// The number of lines with errors.
int RunScript(BenchContext& bench, std::istream& script);

// The whole file; FALSE with `error` saying why it cannot be read, in the
// system's words.
bool ReadScriptFile(const std::string& path, std::string* text, std::string* error);
