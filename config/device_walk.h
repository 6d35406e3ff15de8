// Which of the driver's shutter or wheel slots an operation on the host's
// devices reaches.
#pragma once
#include "config/device_roster.h"

struct DeviceWalk {
    int slots[kWheelSlots];
    int count;
};

// For all devices: the host's devices 1 to 5 of `kind` (1 shutter, 2 filter
// wheel) whose KROHW.INI "Module" names this driver, in host order, take the
// slots 0, 1, 2, ... until the kind's slots are used up. For one device: just
// `slot`, when it is one of the kind's slots; the host file is not asked.
DeviceWalk WalkDevices(int kind, bool allDevices, int slot);
