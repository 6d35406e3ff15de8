// Which configuration pages exist. Each page keeps its own state with its
// window (ui/stage_page_state.h, ui/device_page_state.h); who claimed the
// serial line is in core/controller_link.h.
#pragma once
#include <windows.h>

// The one stage page (XY or Z) and the one device page that the configure
// exports made, or nullptr: the host's later calls find them here. Owned by
// ui/stage_configure.cpp and ui/device_page_window.cpp, which make and
// destroy them; a page that goes with its host window clears its own.
extern HWND StagePageWindow;
extern HWND DevicePageWindow;

// Destroys the stage page if there is one.
void DestroyStagePage();
