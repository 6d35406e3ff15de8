// Filter sets: one small INI file per set beside the module, named after the
// set, holding the position names each wheel slot saved under that name.
#pragma once
#include "core/module_files.h"

// Writes the full path of set `setName` ("<name>.TolvoFW" beside the module)
// into `out`. False, with `out` empty, when the path would not fit: a cut
// path would name another file.
bool FilterSetPath(const char* setName, char (&out)[kPathSize]);

// Reads the position names of wheel `slot` from the set named by the wheel's
// name and records that name as the wheel's set in STolvo.INI. 1 on success;
// 0 for an unknown slot, an empty name, or at the first missing or empty
// position name (the names before it have been replaced by then).
int LoadFilterSet(int slot);
