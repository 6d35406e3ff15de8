// The device pages that the host shows for the devices its hardware file
// gives this driver: the focus page (template 102), the shutter page (103)
// and the filter wheel page (104), all run by KroConfigProc. One device page
// exists at a time.
#pragma once
#include <windows.h>

extern "C" {
// Mode 0 destroys the device page, mode 2 does nothing, any other mode shows
// the shutter page of `slot` in `parent` at `top`. Always 0.
int WINAPI ShtrConfigure(HWND parent, int slot, int top, int mode);
// Mode 0 closes the device page, asking first whether to save unsaved set
// changes; mode 2 saves them; any other mode shows the filter wheel page of
// `slot` in `parent` at `top`. Always 0.
int WINAPI FWConfigure(HWND parent, int slot, int top, int mode);
// Dialog procedure of the device pages.
INT_PTR CALLBACK KroConfigProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
}
