// The host's name lists (filter, objective and condenser names) as the
// configuration pages show, extend and rewrite them.
#pragma once
#include <windows.h>

// Appends the names of list `kind` to combo box `controlId` of `dialog`,
// selects the entry equal to `selectName` ignoring case (the first entry when
// none is) and returns the number of names appended.
int FillNameList(HWND dialog, int controlId, int kind, const char* selectName);

// Appends `name` (cut to 59 characters) to list `kind` unless the list holds
// it already, ignoring case.
void AddListName(const char* name, int kind);

// Replaces list `kind` by the entries of combo box `controlId` of `dialog`,
// numbered in list order; an empty combo box leaves no file.
void RewriteNameList(HWND dialog, int controlId, int kind);
