#include "core/driver_settings.h"
#include "core/decimal_text.h"
#include "core/number_text.h"
#include "core/settings_keys.h"
#include "core/settings_state.h"

const int BaudRateTable[kBaudRates] = {9600, 2400, 600, 150};

DriverSettingsState SettingsState = {
    {
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
    },
    {0.1, 0.25, 0.4, 0.5, 1.0, 2.0, 0.0}, // XYStepTable
    {0.05, 0.1, 0.5, 1.0, 0.0},           // ZStepTable
    false,                                // loaded
};

const DriverSettingsRecord& DriverSettings = SettingsState.record;
const double (&XYStepTable)[kXYStepSlots] = SettingsState.xyStepTable;
const double (&ZStepTable)[kZStepSlots] = SettingsState.zStepTable;
const bool& DriverSettingsLoaded = SettingsState.loaded;

namespace {
// Sets the baud rate and its index; a rate not in BaudRateTable is its first.
void SetBaudRate(int rate) {
    DriverSettingsRecord& s = SettingsState.record;
    s.baudRate = rate;
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
}

// The user-defined step size stored under `Key`: its leading decimal number,
// -1.0 when the key is missing.
template <const SettingsKey& Key, SettingsReader Reader> double ReadStoredStepSize() {
    char text[15];
    ReadSettingText<Key, Reader>(text, sizeof text);
    return LeadingDecimal(text);
}

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
template <const SettingsKey& IndexKey, const SettingsKey& UserKey, int Slots>
void LoadStepChoice(double (&table)[Slots], int& index, double& userSize, int& choices,
                    double& step) {
    constexpr int defaultIndex = DefaultFor(IndexKey, SettingsReader::StageLoad).number;
    index = ReadSetting<IndexKey, SettingsReader::StageLoad>();
    if (index == Slots - 1) {
        userSize = ReadStoredStepSize<UserKey, SettingsReader::StageLoad>();
        if (!IsUsableStepSize(userSize)) {
            step = table[defaultIndex];
            return;
        }
        table[Slots - 1] = userSize;
        choices = Slots;
    }
    step = table[ValidIndex(index, Slots, defaultIndex)];
}

// The keys that the stage's load and the serial line record both read, each
// with the defaults of its own reader.
template <SettingsReader Reader> void LoadLineKeys(DriverSettingsRecord& s) {
    s.port = ReadSetting<kPortKey, Reader>();
    SetBaudRate(ReadSetting<kBaudRateKey, Reader>());
    s.stopBits = ReadSetting<kStopBitsKey, Reader>();
    s.parity = ReadSetting<kParityKey, Reader>();
    s.timeOut = ReadSetting<kTimeOutKey, Reader>();
    s.canAutoFocus = ReadSetting<kCanAutoFocusKey, Reader>();
}

void WriteStepSize(const NumberTexts& numbers, const SettingsKey& key, double value) {
    char text[kNumberTextSize];
    numbers.Format(value, text);
    WriteSettingText(key, text);
}
} // namespace

void LoadDriverSettingsOnce() {
    if (!SettingsState.loaded) {
        LoadDriverSettings();
    }
}

void LoadDriverSettings() {
    DriverSettingsRecord& s = SettingsState.record;
    LoadLineKeys<SettingsReader::StageLoad>(s);
    LoadStepChoice<kStageStepKey, kUserXYStepKey>(SettingsState.xyStepTable, s.stageStepIndex,
                                                  s.userXYStep, s.xyStepChoices, s.xyStep);
    LoadStepChoice<kFocusStepKey, kUserZStepKey>(SettingsState.zStepTable, s.focusStepIndex,
                                                 s.userZStep, s.zStepChoices, s.zStep);
    s.hasJoystick = 1;
    SettingsState.loaded = true;
}

void SaveDriverSettings() {
    const DriverSettingsRecord& s = SettingsState.record;
    const NumberTexts numbers;

    WriteSetting(kPortKey, s.port);
    WriteSetting(kBaudRateKey, s.baudRate);
    WriteSetting(kStopBitsKey, s.stopBits);
    WriteSetting(kParityKey, s.parity);
    WriteSetting(kStageStepKey, s.stageStepIndex);
    WriteStepSize(numbers, kUserXYStepKey, s.userXYStep);
    WriteSetting(kFocusStepKey, s.focusStepIndex);
    WriteStepSize(numbers, kUserZStepKey, s.userZStep);
    WriteSetting(kCanAutoFocusKey, s.canAutoFocus);
    WriteSetting(kHasJoystickKey, s.hasJoystick);
}

void LoadSerialLineSettings() {
    LoadLineKeys<SettingsReader::SerialLineRecord>(SettingsState.record);
}

// A stored user-defined size is offered whichever size is chosen, when it is
// a positive number, and an unknown choice keeps the size in effect.
void LoadFocusSettings() {
    DriverSettingsRecord& s = SettingsState.record;
    s.focusStepIndex = ReadSetting<kFocusStepKey, SettingsReader::FocusRecord>();
    s.userZStep = ReadStoredStepSize<kUserZStepKey, SettingsReader::FocusRecord>();
    if (IsUsableStepSize(s.userZStep)) {
        SettingsState.zStepTable[kZStepSlots - 1] = s.userZStep;
        s.zStepChoices = kZStepSlots;
    }
    PutFocusStepInEffect();
}

void PutFocusStepInEffect() {
    DriverSettingsRecord& s = SettingsState.record;
    if (s.focusStepIndex >= 0 && s.focusStepIndex < s.zStepChoices &&
        s.focusStepIndex < kZStepSlots) {
        s.zStep = SettingsState.zStepTable[s.focusStepIndex];
    }
}
