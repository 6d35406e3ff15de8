#include "config/device_roster.h"

DeviceRosterTable DeviceRoster{};

void ResetDeviceRoster() {
    DeviceRoster = DeviceRosterTable{};
    for (ShutterEntry& shutter : DeviceRoster.shutters) {
        shutter.shutterNumber = -1;
    }
    for (WheelEntry& wheel : DeviceRoster.wheels) {
        wheel.positionCount = kMaxWheelPositions;
    }
}

int NamedPositionCount(const WheelEntry& wheel) {
    if (wheel.positionCount <= 0) {
        return 0;
    }
    return wheel.positionCount < kMaxWheelPositions ? wheel.positionCount : kMaxWheelPositions;
}
