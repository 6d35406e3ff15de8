// The one device page: created from the template of its kind, shown, rebuilt
// when it is asked to stand for another device, and closed. A wheel page's
// unsaved set changes are settled before the page goes.
#pragma once
#include <windows.h>

// Shows the device page of `kind` (8, 1 or 2) and `slot` in `parent` at `top`,
// creating it when there is none. A page that shows another device is
// settled and destroyed first, so that the page always shows the device its
// edits go to.
void ShowDevicePage(HWND parent, int top, int kind, int slot);

// Settles a wheel page's unsaved set changes, then destroys the device page.
void CloseDevicePage();

// The host's apply: a wheel page's unsaved set changes are saved.
void ApplyDevicePage();

// A call of these three that arrives while another is at work (its notice or
// question is open) is carried out when that one has finished.
