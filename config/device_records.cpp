#include "config/device_records.h"
#include "config/device_kind.h"
#include "config/device_roster.h"
#include "config/filter_sets.h"
#include "core/driver_settings.h"
#include "core/settings_keys.h"

RecordsReadTable RecordsRead{};

namespace {
void LoadShutterRecord(int slot) {
    if (slot < 0 || slot >= kShutterSlots) {
        return;
    }
    ShutterEntry& shutter = DeviceRoster.shutters[slot];
    ReadSettingText<kShutterNameKey>(shutter.name, sizeof shutter.name, slot + 1);
    shutter.shutterNumber = ReadSetting<kShutterNumberKey>(slot + 1);
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
    WheelEntry& wheel = DeviceRoster.wheels[slot];
    const int stored = ReadSetting<kNumberPositionsKey>(slot + 1);
    if (stored == 6 || stored == 8 || stored == 10) {
        wheel.positionCount = stored;
    }
    ReadSettingText<kWheelNameKey>(wheel.name, sizeof wheel.name, slot + 1);
    if (wheel.name[0] != '\0') {
        wheel.valid = readOnly ? ReadWholeFilterSet(slot) : LoadFilterSet(slot);
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
        LoadSerialLineSettings();
        break;
    default:
        LoadFocusSettings();
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
