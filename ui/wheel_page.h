// The filter wheel page (template 104): the wheel's set, its number of
// positions, the name of each position, and moves of the wheel from the page.
#pragma once
#include <windows.h>

struct DevicePage;

// The page command the wheel page posts to itself when the user keeps unsaved
// changes after choosing another set: it shows the wheel's set name again.
constexpr int kRestoreSetName = 5001;

// Fills the page from the roster entry of its wheel: the set list with the
// wheel's set selected, the position count, the position names and the
// current position. With `readFormats` the title and position formats are
// first read from the template's labels.
void InitWheelPage(HWND page, DevicePage& state, bool readFormats);

// Takes the text last typed into the position box as the name of the wheel's
// current position, in the box's list and in the host's filter name list.
void CommitPositionName(HWND page, DevicePage& state);

// A name typed into the position box and not yet taken over is taken over
// now, and counts as a change of the set.
void TakeTypedPositionName(HWND page, DevicePage& state);

// Shows the current position of the page's wheel in the position label.
void ShowPositionNumber(HWND page, const DevicePage& state);

// The set box (1030), "Delete" (1044), "Save" (1049), "Archive" (1222) and
// the page command 5001. True for those ids, false for any other.
bool HandleSetCommand(HWND page, DevicePage& state, int id, int code);

// The position buttons (1032 to 1034), the position box (1037), "..." (1039)
// and "Home" (1046). True for those ids, false for any other.
bool HandlePositionCommand(HWND page, DevicePage& state, int id, int code);

// Notes the set name the set box shows, so that it can be shown again when
// the user keeps unsaved changes after choosing another set.
void NoteShownSetName(HWND page, DevicePage& state);
