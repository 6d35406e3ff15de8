// The device records of STolvo.INI: a shutter's or filter wheel's slot
// record, the serial line keys and the focus keys.
#pragma once
#include "config/device_roster.h"

// Loads the record of `kind` (DeviceKind 1, 2, 8 or 100) for `slot`; any
// other kind does nothing. Slots of kinds 1 and 2 outside the roster do
// nothing; kinds 8 and 100 have no slot and ignore it.
void LoadDeviceRecord(int slot, int kind);

// Which records the module has read from STolvo.INI since it was loaded.
// Until a record is read, the roster or DriverSettings holds the values of no
// file for it, and nothing may write those over the file's. Owner: the record
// loads (config/device_records.cpp), the one writer of this table.
struct RecordsReadTable {
    bool shutters[kShutterSlots];
    bool wheels[kWheelSlots];
    bool focus;
    bool serialLine;
};
extern RecordsReadTable RecordsRead;

// Reads the record of `kind` for `slot` as LoadDeviceRecord does, but writes
// nothing (a wheel's set name is not recorded again), unless the module has
// read it since it was loaded; for the focus keys and the serial line the
// stage's settings load counts as well. A page and the defaults call it
// before they show or judge a device, so that what they write back is what
// the file holds and defaults fill only what it lacks.
void ReadDeviceRecordOnce(int slot, int kind);
