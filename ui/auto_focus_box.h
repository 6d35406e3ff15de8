// The "Has AutoFocus" box (1002) of the Z stage page and the focus device page.
#pragma once
#include <windows.h>

// Sets the box from the settings file, where a missing key means no
// auto-focus, and notes that the focus drive has a joystick.
void LoadAutoFocus(HWND page);

// Takes the box's state as the auto-focus flag and stores it at once.
void StoreAutoFocus(HWND page);
