// Writing the roster and the serial line settings back to STolvo.INI.
#pragma once
#include "config/set_consent.h"

// Writes the records of `kind` (-1 every device of this driver, found through
// the host's hardware file; 1, 2, 8 or 100 the one device `slot`) and marks
// shutters configured and wheels valid by what was written. A named wheel's
// set is saved too, which may ask `consent` to un-archive it.
void StoreDeviceRecords(int kind, int slot, SetConsent& consent);
