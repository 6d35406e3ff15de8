// Window operations that the stage pages, the device pages and the name list
// editor share.
#pragma once
#include <windows.h>

// Entries of the port box: "COMM 1" to "COMM 4" and "PCI Interface".
constexpr int kPortChoices = 5;

// Makes a combo box's drop-down list tall enough for its entries: one row at
// least, twenty at most. Position, width and z-order stay.
void FitDropDown(HWND combo);

// Moves a page to `top` in its parent, centred across the parent's width;
// the page grows by one pixel each way.
void PlacePage(HWND page, int top);

// Port box, baud-rate box, stop-bit and parity buttons from DriverSettings.
// With `fill` the two boxes first get their entries.
void FillSerialControls(HWND page, bool fill);

// Hides the baud-rate, stop-bit and parity controls that `page` has; the port
// label and box stay.
void HideSerialDetails(HWND page);

// Hides every serial line control, the port included.
void HideSerialControls(HWND page);
