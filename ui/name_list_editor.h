// The name list editor: a modal dialog (template 121) in which the user picks
// the name of the filter wheel page's current position from the host's name
// list, and may delete names from that list.
#pragma once
#include <windows.h>

// Places `dialog` centred over `parent`, or over the screen when there is no
// parent or it is minimised; never off the top or left edge.
void CentreOnParent(HWND dialog, HWND parent);

// Opens the editor owned by `owner` on list `kind` for the current position
// of wheel `slot`, as the wheel page's "..." does; the dialog's result.
INT_PTR OpenNameListEditor(HWND owner, int kind, int slot);

// Ends with 1 when OK took a name from a non-empty list, else 0. Opened by
// the host itself, it edits the list and position of the device page there is.
extern "C" INT_PTR CALLBACK KroNameListProc(HWND dialog, UINT message, WPARAM wParam,
                                            LPARAM lParam);
