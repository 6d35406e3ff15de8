// The device records of STolvo.INI: a shutter's or filter wheel's slot
// record, the serial line keys and the focus keys.
#pragma once

// Loads the record of `kind` (DeviceKind 1, 2, 8 or 100) for `slot`; any
// other kind does nothing. Slots of kinds 1 and 2 outside the roster do
// nothing; kinds 8 and 100 have no slot and ignore it.
void LoadDeviceRecord(int slot, int kind);
