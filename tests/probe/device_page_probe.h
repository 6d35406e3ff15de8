// Shared by the probe export and the tests that read it: the device page's
// state that no export hands out.
#pragma once
#include <windows.h>

struct DevicePageState {
    HWND page;
    HWND stagePage;
    int kind;
    int slot;
    int top;
    int positionNameEdited;
    int shutterNameEdited;
    int filterSetDirty;
};

extern "C" void WINAPI ProbeDevicePageState(DevicePageState* out);
// The title and position formats the device pages keep (80 bytes each).
extern "C" void WINAPI ProbeLabelFormats(char* title, char* position);
