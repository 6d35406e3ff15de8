// Filter sets: one small INI file per set beside the module, named after the
// set, holding the position names each wheel slot saved under that name.
#pragma once
#include "config/set_consent.h"
#include "config/set_names.h"
#include "core/module_files.h"

// Writes the full path of set `setName` ("<name>.TolvoFW" beside the module)
// into `out`. False, with `out` empty, for a name IsUsableSetName refuses and
// when the path would not fit: a cut path would name another file.
bool FilterSetPath(const char* setName, char (&out)[kPathSize]);

// Reads the position names of wheel `slot` from the set named by the wheel's
// name and records that name as the wheel's set in STolvo.INI. 1 on success;
// 0 for an unknown slot, an empty or refused name, or at the first missing or
// empty position name (the names before it have been replaced by then).
int LoadFilterSet(int slot);

// Reads every position name that the set named by wheel `slot`'s name holds
// for the slot, past any that are missing, and writes nothing: a later save
// then writes back what the file held, and defaults only where it held none.
// 1 when the set holds every used name, else 0, as for LoadFilterSet.
int ReadWholeFilterSet(int slot);

// Writes the wheel's name as its set in STolvo.INI and its used position
// names into section "FilterWheel<slot + 1>" of the set file, creating it.
// 0, with nothing written, for an unknown slot, an empty or refused name, an
// empty used position name, or an archived set that `consent` would not
// un-archive; 1 otherwise.
int SaveFilterSet(int slot, SetConsent& consent);
