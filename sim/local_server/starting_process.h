// The process that started this one: COM starts a local server from its
// client's process.
#pragma once
#include <windows.h>

// A handle to wait on for that process's end, or nullptr when it has gone or
// cannot be found; the caller closes it.
HANDLE OpenStartingProcess();
