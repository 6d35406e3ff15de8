// What a device page keeps of its own between its commands, kept with its
// window: made when the page is initialised and freed when it goes. The
// roster entry of the device it shows.
#pragma once
#include "config/device_roster.h"
#include "ui/device_page.h"
#include "ui/label_formats.h"
#include "ui/page_request.h"
#include "ui/page_state_slot.h"
#include "ui/step_size_box.h"

struct DevicePage {
    // The device the page stands for: kind 8, 1 or 2 and its slot; kind 0
    // for none, and then the page edits nothing.
    int kind;
    int slot;
    // Where the host last asked for the page; it was placed there when made.
    int top;
    // The filter wheel page holds set changes that "Save" has not written yet.
    bool filterSetDirty;
    // Text typed into the position box that is not yet a position's name.
    bool positionNameEdited;
    // Text typed into the shutter name box that is not yet stored.
    bool shutterNameEdited;
    // The title format (shutter and wheel page) and the position format,
    // read from the template's labels before they show numbered text.
    LabelFormat titleFormat;
    LabelFormat positionFormat;
    // A size typed into the focus page's step box.
    StepTyping step;
    // What the set box showed before the user chose another set. The box may
    // already show the chosen entry while its selection change is reported,
    // so the text is noted whenever the page or the user changes it.
    char shownSetName[kNameSize];
    // The text last typed into the position box. While a new entry is being
    // chosen the box may already show that entry, so the typed text is kept
    // as it is typed, not read back at the commit.
    char typedPositionName[kNameSize];
};

// The state of device page `page`; nullptr for a window that is no device page.
inline DevicePage* DevicePageOf(HWND page) {
    return DialogStateOf<DevicePage>(page, KroConfigProc);
}

// The device that a dialog of `dialog` is being made for, with its top: that
// of the configure call (or page) that makes it; for a dialog the host makes
// itself, that of the device page there is, or none.
DevicePage DeviceAskedFor(DialogKind dialog);

// The shutter or wheel the page shows, or nullptr for a page of another kind
// or a slot outside the roster: the page then shows but edits nothing.
ShutterEntry* PageShutter(const DevicePage& state);
WheelEntry* PageWheel(const DevicePage& state);

// The wheel page now holds set changes that "Save" has not written.
void MarkSetChanged(HWND page, DevicePage& state);
// Enables or disables the wheel page's "Save".
void EnableSave(HWND page, bool enabled);
