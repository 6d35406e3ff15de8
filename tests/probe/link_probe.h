// Shared by the probe export and the tests that read it.
#pragma once
#include <windows.h>

struct LinkState {
    int connected;
    int stageClientOpen;
    int deviceClientOpen;
    int stagePortOwner;
    int devicePortOwner;
};

extern "C" void WINAPI ProbeLinkState(LinkState* out);
