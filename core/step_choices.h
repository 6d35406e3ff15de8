// The step-size choice of the XY and the Z axis as the pages change it: a
// size chosen from the list, a size typed into the box, and its commit.
#pragma once

enum class StepAxis { XY = 0, Z = 1 };

// The sizes the axis's list offers, in table order; never more than the
// table holds.
struct OfferedSteps {
    const double* sizes;
    int count;
};
OfferedSteps OfferedStepSizes(StepAxis axis);
// The number of sizes the axis's table holds, the user-defined one included.
int StepSlots(StepAxis axis);
// The step size in effect.
double StepInEffect(StepAxis axis);

// Entry `index` of the table (0 to StepSlots - 1) becomes the size in effect,
// and its index is stored.
void ChooseStep(StepAxis axis, int index);

// What typing a size changes, so that a text that turns out to be no size
// can give it back.
struct StepChoice {
    int index;
    double userSize;
    double userEntry;
    int choices;
};
StepChoice CurrentStepChoice(StepAxis axis);
// Gives back the choice from before typing; the index only when the typed
// size had taken it.
void RestoreStepChoice(StepAxis axis, const StepChoice& before);

// A typed positive size becomes the user-defined size and the chosen entry in
// memory; nothing is stored yet.
void TakeTypedStepSize(StepAxis axis, double size);
// Stores the typed text as the user-defined size, exactly as typed, and
// chooses the user-defined entry.
void StoreTypedStepSize(StepAxis axis, const char* typed);
