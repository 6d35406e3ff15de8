// The default configuration of the driver's devices, given the first time a
// device page opens and afterwards to the device whose page opens.
#pragma once
#include <windows.h>

// The first time (STolvo.INI's "DefaultAll" missing or not 0) every device the
// host's hardware file gives this driver, and the serial line, gets defaults
// for what it lacks, and a notice owned by `owner` says so; later only device
// (`kind`, `slot`) does, silently (kinds 1, 2, 8 and 100). Changed records are
// written back.
void ApplyDefaults(HWND owner, int kind, int slot);
