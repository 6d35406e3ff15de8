// The default configuration of the driver's devices, given the first time a
// device page opens and afterwards to the device whose page opens.
#pragma once
#include "config/set_consent.h"

// The first time (STolvo.INI's "DefaultAll" missing or not 0) every device the
// host's hardware file gives this driver, and the serial line, gets defaults
// for what it lacks; later only device (`kind`, `slot`) does (kinds 1, 2, 8
// and 100). Changed records are written back, which may ask `consent` to
// un-archive a wheel's set. True the first time: the user is then to be told
// that every device has its defaults, whether or not anything changed.
bool GiveDefaults(int kind, int slot, SetConsent& consent);
