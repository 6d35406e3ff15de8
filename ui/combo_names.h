// Names taken from combo boxes, whose texts may be of any length.
#pragma once
#include "config/device_roster.h"
#include <windows.h>

// Copies entry `index` of `combo` into `name`, cut to 59 characters. False,
// with `name` empty, when there is no such entry.
bool ComboEntryName(HWND combo, LRESULT index, char (&name)[kNameSize]);

// Copies the text of the selected entry of `combo` into `name`, cut to 59
// characters. False, with `name` empty, when nothing is selected.
bool SelectedComboName(HWND combo, char (&name)[kNameSize]);
