// Runs a script: each line's command with its line number; a line the bench
// cannot run is reported with its number and what was expected, and the
// script goes on.
#pragma once
#include "host/bench_context.h"
#include <istream>

// The number of lines with errors.
int RunScript(BenchContext& bench, std::istream& script);
