#include "config/device_walk.h"
#include "config/device_kind.h"
#include "config/host_hardware_file.h"

namespace {
constexpr int kHostDevicesPerKind = 5;
}

DeviceWalk WalkDevices(int kind, bool allDevices, int slot) {
    DeviceWalk walk{{}, 0};
    const int slots = kind == STOLVO_KIND_SHUTTER ? kShutterSlots : kWheelSlots;
    if (!allDevices) {
        if (slot >= 0 && slot < slots) {
            walk.slots[walk.count++] = slot;
        }
        return walk;
    }
    for (int hostIndex = 0; hostIndex < kHostDevicesPerKind && walk.count < slots; ++hostIndex) {
        if (IsHostDeviceOurs(kind, hostIndex)) {
            walk.slots[walk.count] = walk.count;
            ++walk.count;
        }
    }
    return walk;
}
