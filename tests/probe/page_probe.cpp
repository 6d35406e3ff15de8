// The device page's target as the configure exports set it.
#include "ui/page_state.h"

extern "C" void WINAPI ProbeSetPageTarget(int kind, int slot) {
    CurrentPageKind = kind;
    CurrentDeviceIndex = slot;
}
