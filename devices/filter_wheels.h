// Exports of the filter wheels: up to ten slots of DeviceRoster, turned
// through FilterObject with the slot number plus 1 as the wheel number and the
// position plus 1 as the position number.
#pragma once
#include <windows.h>
#include "devices/family_state.h"

// Homes the wheel (position -1) or turns it to `position`, records the new
// current position and starts no wait. 0 done; 1 FilterObject not bound or
// the call refused (nothing recorded).
int TurnWheel(int slot, int position);

// TurnWheel for the host's own turns (FWInit's homing, FWSetPosition): the
// filter wheel page, while it shows the wheel, selects the new position and
// shows its number. The page's own moves use TurnWheel and update the page
// themselves.
int TurnWheelFollowed(int slot, int position);

extern "C" {
int WINAPI FWGetInstance(int unused);
int WINAPI FWInit(int slot, HostCallback callback);
int WINAPI FWClose(int slot);
int WINAPI FWGetCount(int slot);
int WINAPI FWGetName(int slot, int position, char* name);
int WINAPI FWSetPosition(int slot, int position);
int WINAPI FWGetPosition(int slot);
int WINAPI FWWrite(int unused1, int unused2);
int WINAPI FWRead(int unused1, int unused2, int unused3);
}
