// The host's name lists in combo boxes: a list shown for the user to pick
// from, and a list the user has edited written back.
#pragma once
#include <windows.h>

// Appends the names of list `kind` to combo box `controlId` of `dialog`,
// selects the entry equal to `selectName` ignoring case (the first entry when
// none is) and returns the number of names appended.
int FillNameList(HWND dialog, int controlId, int kind, const char* selectName);

// Replaces list `kind` by the entries of combo box `controlId` of `dialog`,
// numbered in list order; an empty combo box leaves no file. Without the
// combo box, or without the memory to read it, the list stays as it is.
void RewriteNameList(HWND dialog, int controlId, int kind);
