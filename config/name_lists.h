// The host's name lists (filter, objective and condenser names) as the
// configuration pages extend and rewrite them.
#pragma once
#include "config/name_array.h"

// Appends `name` (cut to 59 characters) to list `kind` unless the list holds
// it already, ignoring case.
void AddListName(const char* name, int kind);

// Replaces list `kind` by `names`, numbered in list order; an empty list
// leaves no file.
void WriteNameList(const NameArray& names, int kind);
