#include "core/step_choices.h"
#include "core/settings_keys.h"
#include "core/settings_state.h"

namespace {
// One axis's share of the settings state. The table's last slot holds the
// user-defined size.
struct StepFields {
    double* table;
    int slots;
    int* index;
    double* step;
    double* userSize;
    int* choices;
    const SettingsKey& indexKey;
    const SettingsKey& userKey;
};

StepFields Fields(StepAxis axis) {
    DriverSettingsRecord& s = SettingsState.record;
    if (axis == StepAxis::XY) {
        return {
            SettingsState.xyStepTable, kXYStepSlots,  &s.stageStepIndex, &s.xyStep, &s.userXYStep,
            &s.xyStepChoices,          kStageStepKey, kUserXYStepKey};
    }
    return {SettingsState.zStepTable, kZStepSlots,   &s.focusStepIndex, &s.zStep, &s.userZStep,
            &s.zStepChoices,          kFocusStepKey, kUserZStepKey};
}
} // namespace

OfferedSteps OfferedStepSizes(StepAxis axis) {
    const StepFields f = Fields(axis);
    return {f.table, *f.choices < 0 ? 0 : (*f.choices > f.slots ? f.slots : *f.choices)};
}

int StepSlots(StepAxis axis) {
    return Fields(axis).slots;
}

double StepInEffect(StepAxis axis) {
    return *Fields(axis).step;
}

void ChooseStep(StepAxis axis, int index) {
    const StepFields f = Fields(axis);
    *f.index = index;
    *f.step = f.table[index];
    WriteSetting(f.indexKey, index);
}

StepChoice CurrentStepChoice(StepAxis axis) {
    const StepFields f = Fields(axis);
    return {*f.index, *f.userSize, f.table[f.slots - 1], *f.choices};
}

void RestoreStepChoice(StepAxis axis, const StepChoice& before) {
    const StepFields f = Fields(axis);
    *f.userSize = before.userSize;
    f.table[f.slots - 1] = before.userEntry;
    *f.choices = before.choices;
    if (*f.index == f.slots - 1) {
        *f.index = before.index;
    }
}

void TakeTypedStepSize(StepAxis axis, double size) {
    const StepFields f = Fields(axis);
    *f.userSize = size;
    f.table[f.slots - 1] = size;
    *f.index = f.slots - 1;
    *f.choices = f.slots;
}

void StoreTypedStepSize(StepAxis axis, const char* typed) {
    const StepFields f = Fields(axis);
    WriteSettingText(f.userKey, typed);
    *f.index = f.slots - 1;
    WriteSetting(f.indexKey, *f.index);
}
