// The devices that the host's hardware file (KROHW.INI beside the driver)
// gives to STolvo32.dll, as the host's configuration window lists them: the
// XY stage always, then the focus drive, the shutters and the filter wheels.
#pragma once
#include <string>
#include <vector>

enum class RigKind { XyStage, Focus, Shutter, FilterWheel };

struct RigDevice {
    RigKind kind;
    int slot; // shutter or wheel number from 0, 0 for the stages
    std::string label;
};

// `folder` ends with a backslash.
std::vector<RigDevice> ReadRigDevices(const std::string& folder);
