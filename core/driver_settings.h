// The driver's persistent settings: serial line, step sizes, flags, time-out.
#pragma once

constexpr int kXYStepSlots = 7;
constexpr int kZStepSlots = 5;
constexpr int kBaudRates = 4;
constexpr int kDefaultStageStep = 4;
constexpr int kDefaultFocusStep = 2;

extern double XYStepTable[kXYStepSlots];
extern double ZStepTable[kZStepSlots];
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

extern DriverSettingsRecord DriverSettings;

extern const char* const kStageSection; // "Tolvo Stage"

void LoadDriverSettings();
// Whether LoadDriverSettings has run since the module was loaded: until then
// DriverSettings holds the values of no file, and nothing may write them over
// the file's.
extern bool DriverSettingsLoaded;
// Runs LoadDriverSettings unless it has run since the module was loaded; a
// page about to write the settings calls it, so that it writes back what the
// file holds and not the values of no file.
void LoadDriverSettingsOnce();
// The user-defined step size stored under `key` of section "Tolvo Stage":
// its leading decimal number, -1.0 when the key is missing.
double ReadStoredStepSize(const char* key);
void SaveDriverSettings();
