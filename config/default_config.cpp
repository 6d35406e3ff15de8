#include "config/default_config.h"
#include "config/device_records.h"
#include "config/device_kind.h"
#include "config/device_roster.h"
#include "config/device_store.h"
#include "config/device_walk.h"
#include "config/host_hardware_file.h"
#include "config/name_field.h"
#include "core/driver_settings.h"
#include "core/settings_changes.h"
#include "core/settings_keys.h"
#include <cstdio>

namespace {
void DefaultName(char (&field)[kNameSize], const char* word, int number) {
    std::snprintf(field, sizeof field, "%s %d", word, number);
}

// A shutter without a number or a name gets what it lacks: a stored name or
// number stays.
bool DefaultShutters(bool first, int slot) {
    bool changed = false;
    const DeviceWalk walk = WalkDevices(STOLVO_KIND_SHUTTER, first, slot);
    for (int i = 0; i < walk.count; ++i) {
        const int k = walk.slots[i];
        ReadDeviceRecordOnce(k, STOLVO_KIND_SHUTTER);
        ShutterEntry& shutter = DeviceRoster.shutters[k];
        if (shutter.configured == 0) {
            if (shutter.shutterNumber == -1) {
                shutter.shutterNumber = k;
            }
            if (NameFieldLength(shutter.name) == 0) {
                DefaultName(shutter.name, "Shutter", k + 1);
            }
            changed = true;
        }
    }
    return changed;
}

bool DefaultWheels(bool first, int slot) {
    bool changed = false;
    const DeviceWalk walk = WalkDevices(STOLVO_KIND_FILTER_WHEEL, first, slot);
    for (int i = 0; i < walk.count; ++i) {
        const int k = walk.slots[i];
        ReadDeviceRecordOnce(k, STOLVO_KIND_FILTER_WHEEL);
        WheelEntry& wheel = DeviceRoster.wheels[k];
        if (NameFieldLength(wheel.name) == 0) {
            DefaultName(wheel.name, "Filter Wheel", k + 1);
            changed = true;
        }
        const int count = NamedPositionCount(wheel);
        for (int p = 0; p < count; ++p) {
            if (NameFieldLength(wheel.positionNames[p]) == 0) {
                DefaultName(wheel.positionNames[p], "Position", p + 1);
                changed = true;
            }
        }
    }
    return changed;
}

bool DefaultFocus() {
    ReadDeviceRecordOnce(0, STOLVO_KIND_FOCUS);
    if (DriverSettings.focusStepIndex != -1) {
        return false;
    }
    SetFocusStepIndex(kDefaultFocusStep);
    return true;
}

// A line without a port gets the first one, and the speed, stop bits and
// parity the devices expect where the file holds none of its own.
bool DefaultSerialLine() {
    ReadDeviceRecordOnce(0, STOLVO_KIND_SERIAL_LINE);
    if (DriverSettings.port != -1) {
        return false;
    }
    SetPort(0, KeyWrite::Later);
    if (!IsSettingStored(kBaudRateKey)) {
        SetBaudIndex(0, KeyWrite::Later);
    }
    if (!IsSettingStored(kParityKey)) {
        SetParity(0, KeyWrite::Later);
    }
    if (!IsSettingStored(kStopBitsKey)) {
        SetStopBits(2, KeyWrite::Later);
    }
    return true;
}
} // namespace

bool GiveDefaults(int kind, int slot, SetConsent& consent) {
    const bool first = ReadSetting<kDefaultAllKey>() != 0;
    WriteSetting(kDefaultAllKey, 0);

    bool changed = false;
    if (first || kind == STOLVO_KIND_SHUTTER) {
        changed |= DefaultShutters(first, slot);
    }
    if (first || kind == STOLVO_KIND_FILTER_WHEEL) {
        changed |= DefaultWheels(first, slot);
    }
    if ((first && IsHostDeviceOurs(STOLVO_KIND_FOCUS, 0)) || kind == STOLVO_KIND_FOCUS) {
        changed |= DefaultFocus();
    }
    if (first || kind == STOLVO_KIND_SERIAL_LINE) {
        changed |= DefaultSerialLine();
    }
    if (changed) {
        StoreDeviceRecords(first ? STOLVO_KIND_ALL : kind, slot, consent);
    }
    return first;
}
