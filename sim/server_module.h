// The simulator module's own handle, for registering the path it was loaded from.
#pragma once
#include <windows.h>

HMODULE ServerModule();
