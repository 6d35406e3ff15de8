// The focus device page (the Z template on KroConfigProc): the focus step size
// and the auto-focus flag, stored at once.
#pragma once
#include <windows.h>

struct DevicePage;

// Fills the step list, selecting the entry at the stored step index, and sets
// the auto-focus box from the settings file.
void InitFocusPage(HWND page);

// The step-size box (1001) and the auto-focus box (1002), on whatever device
// page has them. True for those two ids, false for any other.
bool HandleFocusCommand(HWND page, DevicePage& state, int id, int code);
