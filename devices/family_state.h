// What the device families keep between the host's calls, besides the
// controller link (core/controller_link.h) and DeviceRoster: the host's
// callbacks, recorded at initialisation and never called, and the focus
// drive's software origin.
#pragma once

using HostCallback = int (*)();

struct DeviceFamilyState {
    // Written by StgXYInit and by StgZInit on the stage path.
    HostCallback StageClientCallback = nullptr;
    // Written by StgZInit on the device path, ShtrInit and FWInit: the last wins.
    HostCallback DeviceClientCallback = nullptr;
    // Software origin: host Z = server position + ZOffset. Only StgZOrigin changes it.
    int ZOffset = 0;
};

// Module-wide; its owners are the device families' exports, each writing only
// its own fields.
extern DeviceFamilyState DeviceFamilies;
