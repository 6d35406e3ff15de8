// StgZConfigure's path when the host's hardware file gives its "Focus" device
// to this driver: the focus drive's settings then belong on the device page.
#pragma once
#include <windows.h>

// Shows (show non-zero) or destroys the focus device page; StgZConfigure's result.
int ConfigureFocusDevicePage(HWND parent, int top, int show);
