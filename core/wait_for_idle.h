// Waiting on the calling thread for the controller to stop moving.
#pragma once
#include <windows.h>

// 1 when the controller reported idle, 0 when `timeOut` milliseconds ran out
// first or the server has gone away.
int WaitForIdle(DWORD timeOut);
