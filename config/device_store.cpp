#include "config/device_store.h"
#include "config/device_kind.h"
#include "config/device_roster.h"
#include "config/device_walk.h"
#include "config/filter_sets.h"
#include "config/host_hardware_file.h"
#include "config/name_field.h"
#include "core/driver_settings.h"
#include "core/settings_changes.h"
#include "core/settings_keys.h"

namespace {
void StoreShutters(bool all, int slot) {
    const DeviceWalk walk = WalkDevices(STOLVO_KIND_SHUTTER, all, slot);
    for (int i = 0; i < walk.count; ++i) {
        const int k = walk.slots[i];
        ShutterEntry& shutter = DeviceRoster.shutters[k];
        char name[kNameSize];
        CopyNameField(name, shutter.name);
        WriteSetting(kShutterNumberKey, shutter.shutterNumber, k + 1);
        WriteSettingText(kShutterNameKey, name, k + 1);
        shutter.configured = shutter.shutterNumber != -1 && name[0] != '\0' ? 1 : 0;
    }
}

void StoreWheels(bool all, int slot, SetConsent& consent) {
    const DeviceWalk walk = WalkDevices(STOLVO_KIND_FILTER_WHEEL, all, slot);
    for (int i = 0; i < walk.count; ++i) {
        const int k = walk.slots[i];
        WheelEntry& wheel = DeviceRoster.wheels[k];
        char name[kNameSize];
        CopyNameField(name, wheel.name);
        WriteSettingText(kWheelNameKey, name, k + 1);
        wheel.valid = name[0] != '\0' ? SaveFilterSet(k, consent) : 0;
    }
}

void StoreSerialLine() {
    const DriverSettingsRecord& s = DriverSettings;
    WriteSetting(kPortKey, s.port);
    WriteSetting(kBaudRateKey, s.baudRate);
    WriteSetting(kStopBitsKey, s.stopBits);
    WriteSetting(kParityKey, s.parity);
}
} // namespace

void StoreDeviceRecords(int kind, int slot, SetConsent& consent) {
    const bool all = kind == STOLVO_KIND_ALL;
    if (all || kind == STOLVO_KIND_SHUTTER) {
        StoreShutters(all, slot);
    }
    if (all || kind == STOLVO_KIND_FILTER_WHEEL) {
        StoreWheels(all, slot, consent);
    }
    if ((all && IsHostDeviceOurs(STOLVO_KIND_FOCUS, 0)) || kind == STOLVO_KIND_FOCUS) {
        StoreFocusStep();
    }
    if (all || kind == STOLVO_KIND_SERIAL_LINE) {
        StoreSerialLine();
    }
}
