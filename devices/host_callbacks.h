// The host's callbacks, recorded at initialisation; the driver never calls them.
#pragma once

using HostCallback = int (*)();

// Written by StgXYInit and by StgZInit on the stage path.
extern HostCallback StageClientCallback;
// Written by StgZInit on the device path, ShtrInit and FWInit: the last wins.
extern HostCallback DeviceClientCallback;
