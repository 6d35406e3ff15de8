// Exports of the shutters: up to three slots of DeviceRoster, commanded
// through ScanObject's SetShutter with the slot number plus 1.
#pragma once
#include <windows.h>
#include "devices/family_state.h"

extern "C" {
int WINAPI ShtrGetInstance(int unused);
int WINAPI ShtrInit(int slot, HostCallback callback);
int WINAPI ShtrClose(int slot);
int WINAPI ShtrGetName(int slot, char* name);
int WINAPI ShtrSetOpen(int slot, int state);
int WINAPI ShtrGetOpen(int slot);
int WINAPI ShtrWrite(int unused1, int unused2);
int WINAPI ShtrRead(int unused1, int unused2, int unused3);
}
