// The stage configuration page: the XY page and, when the host's "Focus"
// device is not this driver's, the Z page. The host shows it inside its own
// configuration window.
#pragma once
#include <windows.h>

// Creation parameter of the page: which axis it is for, kept in the state
// that its dialog user slot holds (ui/stage_page_state.h).
constexpr LPARAM kXYPageFlag = 0;
constexpr LPARAM kZPageFlag = 1;

extern "C" {
// Creates (when there is none) and shows the stage page in `parent` at `top`,
// or destroys it when `show` is 0. Always 0.
int WINAPI StgXYConfigure(HWND parent, int top, int show);
int WINAPI StgZConfigure(HWND parent, int top, int show);
// Dialog procedure of both stage pages.
INT_PTR CALLBACK StgConfigProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
}
