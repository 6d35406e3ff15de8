// What the binary holding the simulator is to COM: its own handle, for
// registering the path it was loaded from, and how clients reach it. The DLL
// and the local server EXE each define these.
#pragma once
#include <windows.h>

enum class ServerHosting { InProcess, LocalServer };

HMODULE ServerModule();
ServerHosting Hosting();
