// What the filter wheel page does with sets: its set combo box (1030), its
// position combo box (1037) and its "Save" button (1049).
#pragma once
#include <windows.h>

// Takes the set name typed on the page (cut to 59 characters, blanks around
// it dropped) as the wheel's name and saves the set; the wheel is valid when
// the save succeeds. An empty, blank or refused name only makes it invalid.
void SaveWheelFromPage(int slot, HWND dialog);

// Names the wheel after the set chosen in the list (when one is chosen),
// loads its position names and shows them. Validity is left as it was.
void LoadWheelFromPage(HWND dialog, int slot);

// Selects the set of the page's wheel in the list, listing the sets anew when
// it is not there yet; clears FilterSetDirty and disables "Save".
void ReselectSavedSet(HWND dialog);

// Fills the position combo box with the wheel's used position names and
// selects its current position.
void ShowWheelPositions(int slot, HWND dialog);

// The page's "Archive": saves pending changes of the page's wheel first, then
// makes its set file read-only. A set without a file stays unarchived.
void ArchiveWheelSet(HWND dialog);
