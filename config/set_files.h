// The set files beside the module as a whole: listing and deleting them.
#pragma once
#include <windows.h>

// Empties combo box `controlId` of `dialog` and appends the name of every set
// file beside the module in directory order, each file name cut at its last
// dot and to 59 characters; names that cannot name a set are left out. Sizes
// the drop-down list and returns the number of names appended.
int ListFilterSets(HWND dialog, int controlId);

// Deletes the set selected in the set combo box of the filter wheel page
// `dialog`, asking first (in a box owned by `dialog`) when it is archived.
// 1 when the deletion was attempted; 0 when nothing is selected, the name is
// empty or refused, or the user would not un-archive the set.
int DeleteFilterSet(HWND dialog);
