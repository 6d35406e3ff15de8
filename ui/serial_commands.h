// The serial line rows of a page's commands, shared by the stage page and the
// device pages: each change goes to DriverSettings and to the settings file at
// once, and the other page is told to show it.
#pragma once
#include <windows.h>

// The page command that makes a page re-select its serial controls.
constexpr int kRefreshSerialControls = 5000;

// Handles control `id` with notification `code` when it is one of the serial
// line controls and returns true; false for any other control. After a change
// RefreshSerialControls is posted to `otherPage` when there is one.
bool HandleSerialCommand(HWND page, int id, int code, HWND otherPage);
