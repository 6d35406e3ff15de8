// Which configuration pages exist and who claimed the serial port settings.
#pragma once
#include <windows.h>

extern HWND StagePageWindow;
// -1 until claimed: 99 for the XY stage, 8 for the focus drive on the stage path.
extern int StagePortOwner;

constexpr int kStageOwnerXY = 99;

// Destroys the stage page if there is one.
void DestroyStagePage();
