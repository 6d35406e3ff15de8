// What the device page keeps between its commands, and the roster entry of
// the device it shows.
#pragma once
#include "config/device_roster.h"
#include <windows.h>

// Text typed into the position box that is not yet a position's name.
extern bool PositionNameEdited;
// Text typed into the shutter name box that is not yet stored.
extern bool ShutterNameEdited;

// The shutter or wheel the device page shows (CurrentDeviceIndex), or nullptr
// for a slot outside the roster: the page then shows but edits nothing.
ShutterEntry* PageShutter();
WheelEntry* PageWheel();

// A page and the device it stands for, noted before a modal question: the
// question's message loop may see the page closed or rebuilt for another
// device, and then the answer has nothing left to act on.
struct PageDevice {
    HWND page;
    int kind;
    int slot;
};
PageDevice NotePageDevice(HWND page);
bool StillStandsFor(const PageDevice& noted);

// The wheel page now holds set changes that "Save" has not written.
void MarkSetChanged(HWND page);
// Enables or disables the wheel page's "Save".
void EnableSave(HWND page, bool enabled);
