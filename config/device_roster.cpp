#include "config/device_roster.h"

namespace {
// Every slot unconfigured: shutters closed and without a number, wheels not
// valid, with ten positions and standing at the first.
constexpr DeviceRosterTable StartingRoster() {
    DeviceRosterTable roster{};
    for (ShutterEntry& shutter : roster.shutters) {
        shutter.shutterNumber = -1;
    }
    for (WheelEntry& wheel : roster.wheels) {
        wheel.positionCount = kMaxWheelPositions;
    }
    return roster;
}
constexpr DeviceRosterTable kStartingRoster = StartingRoster();
} // namespace

// Constant initialisation: the values are in the module's image, in place
// before process attach, and no code runs for them.
DeviceRosterTable DeviceRoster = kStartingRoster;

int NamedPositionCount(const WheelEntry& wheel) {
    if (wheel.positionCount <= 0) {
        return 0;
    }
    return wheel.positionCount < kMaxWheelPositions ? wheel.positionCount : kMaxWheelPositions;
}
