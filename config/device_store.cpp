#include "config/device_store.h"
#include "config/device_kind.h"
#include "config/device_roster.h"
#include "config/device_walk.h"
#include "config/filter_sets.h"
#include "config/host_hardware_file.h"
#include "config/name_field.h"
#include "core/driver_settings.h"
#include "core/module_files.h"
#include "core/profile_file.h"
#include <cstdio>

namespace {
void StoreShutters(bool all, int slot) {
    const DeviceWalk walk = WalkDevices(STOLVO_KIND_SHUTTER, all, slot);
    for (int i = 0; i < walk.count; ++i) {
        const int k = walk.slots[i];
        ShutterEntry& shutter = DeviceRoster.shutters[k];
        char section[32];
        std::snprintf(section, sizeof section, "Shutter%d", k + 1);
        char name[kNameSize];
        CopyNameField(name, shutter.name);
        WriteProfileInt(SettingsFilePath(), section, "ShutterNumber", shutter.shutterNumber);
        WriteProfileText(SettingsFilePath(), section, "Name", name);
        shutter.configured = shutter.shutterNumber != -1 && name[0] != '\0' ? 1 : 0;
    }
}

void StoreWheels(HWND owner, bool all, int slot) {
    const DeviceWalk walk = WalkDevices(STOLVO_KIND_FILTER_WHEEL, all, slot);
    for (int i = 0; i < walk.count; ++i) {
        const int k = walk.slots[i];
        WheelEntry& wheel = DeviceRoster.wheels[k];
        char section[32];
        std::snprintf(section, sizeof section, "FilterWheel%d", k + 1);
        char name[kNameSize];
        CopyNameField(name, wheel.name);
        WriteProfileText(SettingsFilePath(), section, "Name", name);
        wheel.valid = name[0] != '\0' ? SaveFilterSet(k, owner) : 0;
    }
}

void StoreFocus() {
    DriverSettingsRecord& s = DriverSettings;
    WriteProfileInt(SettingsFilePath(), kStageSection, "FocusStep", s.focusStepIndex);
    if (s.focusStepIndex >= 0 && s.focusStepIndex < s.zStepChoices &&
        s.focusStepIndex < kZStepSlots) {
        s.zStep = ZStepTable[s.focusStepIndex];
    }
}

void StoreSerialLine() {
    const DriverSettingsRecord& s = DriverSettings;
    const char* path = SettingsFilePath();
    WriteProfileInt(path, kStageSection, "Port", s.port);
    WriteProfileInt(path, kStageSection, "BaudRate", s.baudRate);
    WriteProfileInt(path, kStageSection, "StopBits", s.stopBits);
    WriteProfileInt(path, kStageSection, "Parity", s.parity);
}
} // namespace

void StoreDeviceRecords(HWND owner, int kind, int slot) {
    const bool all = kind == STOLVO_KIND_ALL;
    if (all || kind == STOLVO_KIND_SHUTTER) {
        StoreShutters(all, slot);
    }
    if (all || kind == STOLVO_KIND_FILTER_WHEEL) {
        StoreWheels(owner, all, slot);
    }
    if ((all && IsHostDeviceOurs(STOLVO_KIND_FOCUS, 0)) || kind == STOLVO_KIND_FOCUS) {
        StoreFocus();
    }
    if (all || kind == STOLVO_KIND_SERIAL_LINE) {
        StoreSerialLine();
    }
}
