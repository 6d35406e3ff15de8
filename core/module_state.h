// The driver module's own handle, kept from process attach to detach, and
// what must happen before its code goes away.
#pragma once
#include <windows.h>

extern HINSTANCE ModuleInstance;

// Work for the unload, run in process detach under the loader lock: it may
// not call into another process nor wait for another thread. The pages hand
// in theirs (the only one), since the module's core does not know them.
void RunAtUnload(void (*work)());
