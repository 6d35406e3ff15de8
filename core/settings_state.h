// The driver core's settings state, in one place. Owner: the settings' loads
// and save (core/driver_settings.cpp) and their change functions
// (core/settings_changes.cpp, core/step_choices.cpp); everything else reads it
// through DriverSettings, XYStepTable, ZStepTable and DriverSettingsLoaded.
#pragma once
#include "core/driver_settings.h"

struct DriverSettingsState {
    DriverSettingsRecord record;      // DriverSettings
    double xyStepTable[kXYStepSlots]; // XYStepTable; the last slot holds the user-defined size
    double zStepTable[kZStepSlots];   // ZStepTable; likewise
    bool loaded;                      // DriverSettingsLoaded
};
extern DriverSettingsState SettingsState;

// The chosen focus step's size becomes the size in effect when the list
// offers it; otherwise the size in effect stays.
void PutFocusStepInEffect();
