// The driver module's own handle, kept from process attach to detach.
#pragma once
#include <windows.h>

extern HINSTANCE ModuleInstance;
