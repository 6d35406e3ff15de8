// State shared by the stage families (the XY stage and the focus drive on the
// stage path).
#pragma once

// The host's callback, recorded at initialisation; the driver never calls it.
using HostCallback = int (*)();
extern HostCallback StageClientCallback;
