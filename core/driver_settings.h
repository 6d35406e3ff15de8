// The driver's persistent settings: serial line, step sizes, flags, time-out.
#pragma once
#include "core/settings_map.h"

constexpr int kXYStepSlots = 7;
constexpr int kZStepSlots = 5;
constexpr int kBaudRates = 4;
constexpr int kDefaultFocusStep = DefaultFor(kFocusStepKey, SettingsReader::StageLoad).number;

extern const int BaudRateTable[kBaudRates];

struct DriverSettingsRecord {
    int port;
    int baudRate;
    int baudIndex;
    int stopBits;
    int parity;
    int stageStepIndex;
    int focusStepIndex;
    double xyStep;
    double zStep;
    double userXYStep;
    double userZStep;
    int xyStepChoices;
    int zStepChoices;
    int canAutoFocus;
    int hasJoystick;
    int timeOut;
};

// Read-only views of the settings state (core/settings_state.h). Only its
// owner changes it: the loads and the save below, and the change functions of
// core/settings_changes.h and core/step_choices.h.
extern const DriverSettingsRecord& DriverSettings;
extern const double (&XYStepTable)[kXYStepSlots];
extern const double (&ZStepTable)[kZStepSlots];
// Whether LoadDriverSettings has run since the module was loaded: until then
// DriverSettings holds the values of no file, and nothing may write them over
// the file's.
extern const bool& DriverSettingsLoaded;

void LoadDriverSettings();
// Runs LoadDriverSettings unless it has run since the module was loaded; a
// page about to write the settings calls it, so that it writes back what the
// file holds and not the values of no file.
void LoadDriverSettingsOnce();
void SaveDriverSettings();

// The serial line keys as the devices' line reads them (its device record):
// as LoadDriverSettings does, except that a missing "StopBits" means the two
// stop bits the devices expect.
void LoadSerialLineSettings();
// The focus keys as the focus drive of its own reads them (its device record).
void LoadFocusSettings();
