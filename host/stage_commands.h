// The XY stage and focus commands: xy.* and z.*.
#pragma once
#include "host/bench_context.h"

// FALSE when the command is not one of them.
bool RunStageCommand(BenchContext& bench, const std::vector<ScriptWord>& words);
