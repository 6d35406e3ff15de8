// The host's hardware file KROHW.INI, which names the driver module of each
// host device. The driver only reads it.
#pragma once

// True when KROHW.INI assigns host device (kind, hostIndex) to this driver.
bool IsHostDeviceOurs(int kind, int hostIndex);
