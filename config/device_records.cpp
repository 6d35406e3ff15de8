#include "config/device_records.h"
#include "config/device_kind.h"
#include "config/device_roster.h"
#include "config/filter_sets.h"
#include "core/decimal_text.h"
#include "core/driver_settings.h"
#include "core/module_files.h"
#include "core/profile_file.h"
#include <cstdio>

RecordsReadTable RecordsRead{};

namespace {
void LoadShutterRecord(int slot) {
    if (slot < 0 || slot >= kShutterSlots) {
        return;
    }
    char section[32];
    std::snprintf(section, sizeof section, "Shutter%d", slot + 1);
    ShutterEntry& shutter = DeviceRoster.shutters[slot];
    ReadProfileText(SettingsFilePath(), section, "Name", "", shutter.name, sizeof shutter.name);
    shutter.shutterNumber = ReadProfileInt(SettingsFilePath(), section, "ShutterNumber", -1);
    shutter.configured = shutter.shutterNumber != -1 && shutter.name[0] != '\0' ? 1 : 0;
}

// The count the page stored ("NumberPositions", 6, 8 or 10) comes back before
// the set loads, so that a set saved with 6 or 8 names loads at the next
// start; any other value leaves the count the page or the controller set.
// A read-only load reads the whole set and records nothing.
void LoadWheelRecord(int slot, bool readOnly) {
    if (slot < 0 || slot >= kWheelSlots) {
        return;
    }
    char section[32];
    std::snprintf(section, sizeof section, "FilterWheel%d", slot + 1);
    WheelEntry& wheel = DeviceRoster.wheels[slot];
    const int stored = ReadProfileInt(SettingsFilePath(), section, "NumberPositions", -1);
    if (stored == 6 || stored == 8 || stored == 10) {
        wheel.positionCount = stored;
    }
    ReadProfileText(SettingsFilePath(), section, "Name", "", wheel.name, sizeof wheel.name);
    if (wheel.name[0] != '\0') {
        wheel.valid = readOnly ? ReadWholeFilterSet(slot) : LoadFilterSet(slot);
    }
}

// The serial line keys as the stage's settings load reads them, except that
// a missing "StopBits" means the two stop bits the devices expect.
void LoadSerialLineRecord() {
    const char* path = SettingsFilePath();
    DriverSettingsRecord& s = DriverSettings;
    s.port = ReadProfileInt(path, kStageSection, "Port", -1);
    s.baudRate = ReadProfileInt(path, kStageSection, "BaudRate", BaudRateTable[0]);
    int index = 0;
    while (index < kBaudRates && BaudRateTable[index] != s.baudRate) {
        ++index;
    }
    if (index == kBaudRates) {
        index = 0;
        s.baudRate = BaudRateTable[0];
    }
    s.baudIndex = index;
    s.stopBits = ReadProfileInt(path, kStageSection, "StopBits", 2);
    s.parity = ReadProfileInt(path, kStageSection, "Parity", 0);
    s.timeOut = ReadProfileInt(path, kStageSection, "TimeOut", 60000);
    s.canAutoFocus = ReadProfileInt(path, kStageSection, "CanAutoFocus", 1);
}

// The focus keys for the focus drive of its own: a stored user-defined size
// is offered whichever size is chosen, when it is a positive number, and an
// unknown choice keeps the size in effect.
void LoadFocusRecord() {
    const char* path = SettingsFilePath();
    DriverSettingsRecord& s = DriverSettings;
    s.focusStepIndex = ReadProfileInt(path, kStageSection, "FocusStep", -1);
    s.userZStep = ReadStoredStepSize("dUserDefinedZStepSize");
    if (IsUsableStepSize(s.userZStep)) {
        ZStepTable[kZStepSlots - 1] = s.userZStep;
        s.zStepChoices = kZStepSlots;
    }
    if (s.focusStepIndex >= 0 && s.focusStepIndex < s.zStepChoices &&
        s.focusStepIndex < kZStepSlots) {
        s.zStep = ZStepTable[s.focusStepIndex];
    }
}

// The flag of the record of `kind` for `slot`, or nullptr for none.
bool* ReadFlag(int slot, int kind) {
    switch (kind) {
    case STOLVO_KIND_SHUTTER:
        return slot >= 0 && slot < kShutterSlots ? &RecordsRead.shutters[slot] : nullptr;
    case STOLVO_KIND_FILTER_WHEEL:
        return slot >= 0 && slot < kWheelSlots ? &RecordsRead.wheels[slot] : nullptr;
    case STOLVO_KIND_FOCUS:
        return &RecordsRead.focus;
    case STOLVO_KIND_SERIAL_LINE:
        return &RecordsRead.serialLine;
    default:
        return nullptr;
    }
}

void LoadRecord(int slot, int kind, bool readOnly) {
    bool* read = ReadFlag(slot, kind);
    if (read == nullptr) {
        return;
    }
    switch (kind) {
    case STOLVO_KIND_SHUTTER:
        LoadShutterRecord(slot);
        break;
    case STOLVO_KIND_FILTER_WHEEL:
        LoadWheelRecord(slot, readOnly);
        break;
    case STOLVO_KIND_SERIAL_LINE:
        LoadSerialLineRecord();
        break;
    default:
        LoadFocusRecord();
        break;
    }
    *read = true;
}
} // namespace

void LoadDeviceRecord(int slot, int kind) {
    LoadRecord(slot, kind, false);
}

void ReadDeviceRecordOnce(int slot, int kind) {
    const bool* read = ReadFlag(slot, kind);
    if (read == nullptr || *read) {
        return;
    }
    // The stage's load reads these keys too.
    if ((kind == STOLVO_KIND_FOCUS || kind == STOLVO_KIND_SERIAL_LINE) && DriverSettingsLoaded) {
        return;
    }
    LoadRecord(slot, kind, true);
}
