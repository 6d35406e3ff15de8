// Exports of the focus (Z) drive. The family runs on one of two paths, chosen
// at each StgZInit by whether the host's hardware file gives the host's
// "Focus" device to this driver: the device path (shared with shutters and
// filter wheels) or the stage path (with the XY stage).
#pragma once
#include <windows.h>
#include "devices/family_state.h"

// Every focus motion waits this long for the controller, whatever the settings say.
constexpr DWORD kFocusWait = 5000;

extern "C" {
int WINAPI StgZInit(HostCallback callback);
int WINAPI StgZClose();
int WINAPI StgZStatus();
int WINAPI StgZMove(int z, int unused);
int WINAPI StgZReport(int* z);
int WINAPI StgZStep(int steps);
int WINAPI StgZOrigin();
int WINAPI StgZCalib(double* stepSize);
int WINAPI StgZSetSpeed(int speed);
int WINAPI StgZWrite(int unused1, int unused2);
int WINAPI StgZRead(int unused1, int unused2, int unused3);
int WINAPI StgZCanAutoFocus();
int WINAPI StgZAutoFocus(int unused);
int WINAPI StgZStepSize(int stepSize);
int WINAPI StgZType(int* type);
}
