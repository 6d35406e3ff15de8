// The step-size box of the XY and Z pages: the offered sizes, a size typed
// into the box, and the commit of that size when the box loses the focus.
#pragma once
#include "core/step_choices.h"
#include <windows.h>

// Room for a typed size: nine characters and the terminator. Longer texts are cut.
constexpr int kTypedStepSize = 10;
using TypedStepText = char[kTypedStepSize];

// What a page keeps while the user types a size into its step box.
struct StepTyping {
    TypedStepText typed;
    // A typed size waits for its commit.
    bool edited;
    // The axis's choice as it stood before the user started typing, for a
    // typed text that turns out to be no size.
    StepChoice before;
};

// Appends the offered sizes of `axis` to `box` as number text, in table order.
void FillStepSizes(HWND box, StepAxis axis);
// Selects the first entry equal to the step size in effect; none if none is.
void SelectStepInEffect(HWND box, StepAxis axis);
// The user chose an entry: it becomes the step size in effect and its index is stored.
void ChooseStepSize(HWND box, StepAxis axis);
// The user typed: the box text, cut to fit the typed text, becomes the
// user-defined size in memory when it is a positive number; nothing is stored yet.
void TypeStepSize(HWND box, StepAxis axis, StepTyping& typing);
// The box lost the focus: a typed size replaces the list's user-defined entry,
// is selected and is stored as typed, with its index. A typed text that is not
// a positive number is not taken: the axis's choice from before typing comes
// back, in memory and in the box, and nothing is stored.
void CommitTypedStepSize(HWND box, StepAxis axis, StepTyping& typing);
