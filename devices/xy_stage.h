// Exports of the XY stage and the stage operations they share.
#pragma once
#include <windows.h>
#include "devices/family_state.h"

// Stage type word reported to the host; bit 0 says whether a joystick is fitted.
constexpr int XYStageType = 0xC00A;

// WaitForIdle time-out of the XY stage, from the settings.
DWORD StageTimeOut();

// Operations on a bound StageObject; they throw DispatchFailure when a call fails.
void StageMoveTo(double x, double y);
void StageSetOrigin();

extern "C" {
int WINAPI StgXYInit(HostCallback callback);
int WINAPI StgXYType(int* type);
int WINAPI StgXYClose();
int WINAPI StgXYStatus();
int WINAPI StgXYMove(int x, int y, int wait);
int WINAPI StgXYCommand(int command);
int WINAPI StgXYReport(int* x, int* y);
int WINAPI StgXYStep(int dx, int dy);
int WINAPI StgXStep(int dx);
int WINAPI StgYStep(int dy);
int WINAPI StgXYOrigin();
int WINAPI StgXYCalib(double* x, double* y);
int WINAPI StgXYSetSpeed(int percent);
int WINAPI StgXYJoystick(int unused);
int WINAPI StgXYWrite(int unused1, int unused2);
int WINAPI StgXYRead(int unused1, int unused2, int unused3);
int WINAPI StgXStepSize(int stepSize);
int WINAPI StgYStepSize(int stepSize);
}
