// The shutters and filter wheels the driver serves: one module-wide table.
#pragma once

constexpr int kNameSize = 60; // NUL-terminated, at most 59 characters
constexpr int kShutterSlots = 3;
constexpr int kWheelSlots = 10;
constexpr int kMaxWheelPositions = 10;

struct ShutterEntry {
    char name[kNameSize];
    int shutterNumber;
    int configured;
    int openState;
};

struct WheelEntry {
    char name[kNameSize];
    int positionCount;
    int valid;
    int currentPosition;
    char positionNames[kMaxWheelPositions][kNameSize];
};

struct DeviceRosterTable {
    int shutterCount;
    ShutterEntry shutters[kShutterSlots];
    int wheelCount;
    WheelEntry wheels[kWheelSlots];
};

// Module-wide; its owner is config/ (the device records), and the shutter and
// filter wheel exports use its slots. It holds its starting values from the
// module's load on.
extern DeviceRosterTable DeviceRoster;

// How many of the wheel's position names are in use: its count, but never
// more than the ten names a wheel holds (a controller may report more) and
// none for a count of 0 or less.
int NamedPositionCount(const WheelEntry& wheel);
