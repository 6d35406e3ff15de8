// The shutter page (template 103): the shutter's number and its name, stored
// when the user leaves the name box after changing it.
#pragma once
#include <windows.h>

struct DevicePage;

// Numbers the title after the page's slot and shows the shutter's name.
void InitShutterPage(HWND page, DevicePage& state);

// The name box (1020). True for its id, false for any other.
bool HandleShutterCommand(HWND page, DevicePage& state, int id, int code);
