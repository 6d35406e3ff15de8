// Which configuration pages exist and who claimed the serial port settings.
#pragma once
#include <windows.h>

extern HWND StagePageWindow;

// Destroys the stage page if there is one.
void DestroyStagePage();
