// What the filter wheel page does with sets: its set combo box (1030), its
// position combo box (1037) and its "Save" button (1049). The set files
// themselves are config/'s; the questions about archived sets are asked in
// boxes owned by the page.
#pragma once
#include <windows.h>

struct DevicePage;

// Empties combo box `controlId` of `dialog` and appends the name of every set
// file beside the module in directory order (see FindFilterSets). Sizes the
// drop-down list and returns the number of names appended.
int ListFilterSets(HWND dialog, int controlId);

// Deletes the set selected in the set combo box of `dialog`, asking first
// when it is archived. 1 when the deletion was attempted; 0 when nothing is
// selected, the name is empty or refused, or the user would not un-archive it.
int DeleteFilterSet(HWND dialog);

// Takes the set name typed on the page (cut to 59 characters, blanks around
// it dropped) as the wheel's name and saves the set; the wheel is valid when
// the save succeeds. An empty, blank or refused name only makes it invalid.
void SaveWheelFromPage(int slot, HWND dialog);

// Names the wheel after the set chosen in the list (when one is chosen),
// loads its position names and shows them. Validity is left as it was.
void LoadWheelFromPage(HWND dialog, int slot);

// Selects the set of the page's wheel in the list, listing the sets anew when
// it is not there yet; clears the page's mark of unsaved set changes and
// disables "Save".
void ReselectSavedSet(HWND dialog, DevicePage& state);

// Fills the position combo box with the wheel's used position names and
// selects its current position.
void ShowWheelPositions(int slot, HWND dialog);

// The page's "Archive": saves pending changes of the page's wheel first, then
// makes its set file read-only. A set without a file stays unarchived.
void ArchiveWheelSet(HWND dialog, DevicePage& state);
