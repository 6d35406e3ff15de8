#include "core/driver_settings.h"
#include "core/decimal_text.h"
#include "core/module_files.h"
#include "core/number_text.h"
#include "core/profile_file.h"

double XYStepTable[kXYStepSlots] = {0.1, 0.25, 0.4, 0.5, 1.0, 2.0, 0.0};
double ZStepTable[kZStepSlots] = {0.05, 0.1, 0.5, 1.0, 0.0};
const int BaudRateTable[kBaudRates] = {9600, 2400, 600, 150};
const char* const kStageSection = "Tolvo Stage";

DriverSettingsRecord DriverSettings = {
    -1,     // port
    9600,   // baudRate
    0,      // baudIndex
    1,      // stopBits
    0,      // parity
    -1,     // stageStepIndex
    -1,     // focusStepIndex
    0.001,  // xyStep
    0.0001, // zStep
    -1.0,   // userXYStep
    -1.0,   // userZStep
    6,      // xyStepChoices
    4,      // zStepChoices
    1,      // canAutoFocus
    1,      // hasJoystick
    60000,  // timeOut
};

double ReadStoredStepSize(const char* key) {
    char text[15];
    ReadProfileText(SettingsFilePath(), kStageSection, key, "-1.0", text, sizeof text);
    return LeadingDecimal(text);
}

namespace {

// An index the tables do not have (a hand-edited file) falls back to the
// default choice instead of reading outside the table.
int ValidIndex(int index, int slots, int fallback) {
    return index >= 0 && index < slots ? index : fallback;
}

// One step-size choice: its index, the user-defined size (the table's last
// slot) when that is chosen, and the size in effect. Choosing a table size
// keeps the user-defined size and the longer list. A stored size that is not
// a positive number is no size: it is not offered, and the default size is in
// effect, since the host takes the size as its calibration.
template <int Slots>
void LoadStepChoice(const char* indexKey, const char* userKey, int defaultIndex,
                    double (&table)[Slots], int& index, double& userSize, int& choices,
                    double& step) {
    index = ReadProfileInt(SettingsFilePath(), kStageSection, indexKey, defaultIndex);
    if (index == Slots - 1) {
        userSize = ReadStoredStepSize(userKey);
        if (!IsUsableStepSize(userSize)) {
            step = table[defaultIndex];
            return;
        }
        table[Slots - 1] = userSize;
        choices = Slots;
    }
    step = table[ValidIndex(index, Slots, defaultIndex)];
}

void WriteStepSize(const NumberTexts& numbers, const char* key, double value) {
    char text[kNumberTextSize];
    numbers.Format(value, text);
    WriteProfileText(SettingsFilePath(), kStageSection, key, text);
}
} // namespace

bool DriverSettingsLoaded = false;

void LoadDriverSettingsOnce() {
    if (!DriverSettingsLoaded) {
        LoadDriverSettings();
    }
}

void LoadDriverSettings() {
    const char* path = SettingsFilePath();
    DriverSettingsRecord& s = DriverSettings;

    s.port = ReadProfileInt(path, kStageSection, "Port", -1);
    s.baudRate = ReadProfileInt(path, kStageSection, "BaudRate", 9600);
    s.baudIndex = -1;
    for (int i = 0; i < kBaudRates; ++i) {
        if (BaudRateTable[i] == s.baudRate) {
            s.baudIndex = i;
            break;
        }
    }
    if (s.baudIndex < 0) {
        s.baudIndex = 0;
        s.baudRate = BaudRateTable[0];
    }
    s.stopBits = ReadProfileInt(path, kStageSection, "StopBits", 1);
    s.parity = ReadProfileInt(path, kStageSection, "Parity", 0);

    LoadStepChoice("StageStep", "dUserDefinedXYStepSize", kDefaultStageStep, XYStepTable,
                   s.stageStepIndex, s.userXYStep, s.xyStepChoices, s.xyStep);
    LoadStepChoice("FocusStep", "dUserDefinedZStepSize", kDefaultFocusStep, ZStepTable,
                   s.focusStepIndex, s.userZStep, s.zStepChoices, s.zStep);

    s.canAutoFocus = ReadProfileInt(path, kStageSection, "CanAutoFocus", 1);
    s.hasJoystick = 1;
    s.timeOut = ReadProfileInt(path, kStageSection, "TimeOut", 60000);
    DriverSettingsLoaded = true;
}

void SaveDriverSettings() {
    const char* path = SettingsFilePath();
    const DriverSettingsRecord& s = DriverSettings;
    const NumberTexts numbers;

    WriteProfileInt(path, kStageSection, "Port", s.port);
    WriteProfileInt(path, kStageSection, "BaudRate", s.baudRate);
    WriteProfileInt(path, kStageSection, "StopBits", s.stopBits);
    WriteProfileInt(path, kStageSection, "Parity", s.parity);
    WriteProfileInt(path, kStageSection, "StageStep", s.stageStepIndex);
    WriteStepSize(numbers, "dUserDefinedXYStepSize", s.userXYStep);
    WriteProfileInt(path, kStageSection, "FocusStep", s.focusStepIndex);
    WriteStepSize(numbers, "dUserDefinedZStepSize", s.userZStep);
    WriteProfileInt(path, kStageSection, "CanAutoFocus", s.canAutoFocus);
    WriteProfileInt(path, kStageSection, "HasJoystick", s.hasJoystick);
}
