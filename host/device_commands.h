// The shutter and filter wheel commands: "shutter N ..." and "wheel N ...".
// Slots are handed out with the family's GetInstance in call order, as the
// host does, before a slot's first use.
#pragma once
#include "host/bench_context.h"

// FALSE when the command is not one of them.
bool RunDeviceCommand(BenchContext& bench, const std::vector<ScriptWord>& words);
