// The device page's state, for the device page tests.
#include "tests/probe/device_page_probe.h"
#include "ui/device_page_state.h"
#include "ui/page_state.h"
#include <cstring>

namespace {
BOOL CALLBACK TakeDevicePage(HWND window, LPARAM found) {
    if (DevicePageOf(window) == nullptr) {
        return TRUE;
    }
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

BOOL CALLBACK SearchTopWindow(HWND window, LPARAM found) {
    if (TakeDevicePage(window, found) == FALSE) {
        return FALSE;
    }
    EnumChildWindows(window, &TakeDevicePage, found);
    return *reinterpret_cast<HWND*>(found) == nullptr;
}

// The page the configure calls keep or, while one is being made (its
// first-time notice is open), the device page on this thread.
const DevicePage* ShownPage() {
    if (const DevicePage* kept = DevicePageOf(DevicePageWindow)) {
        return kept;
    }
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), &SearchTopWindow, reinterpret_cast<LPARAM>(&found));
    return DevicePageOf(found);
}
} // namespace

extern "C" void WINAPI ProbeDevicePageState(DevicePageState* out) {
    const DevicePage none{};
    const DevicePage* shown = ShownPage();
    const DevicePage& state = shown != nullptr ? *shown : none;
    out->page = DevicePageWindow;
    out->stagePage = StagePageWindow;
    out->kind = state.kind;
    out->slot = state.slot;
    out->top = state.top;
    out->positionNameEdited = state.positionNameEdited ? 1 : 0;
    out->shutterNameEdited = state.shutterNameEdited ? 1 : 0;
    out->filterSetDirty = state.filterSetDirty ? 1 : 0;
}

extern "C" void WINAPI ProbeLabelFormats(char* title, char* position) {
    const DevicePage none{};
    const DevicePage* shown = ShownPage();
    std::memcpy(title, (shown != nullptr ? shown : &none)->titleFormat, kLabelFormatSize);
    std::memcpy(position, (shown != nullptr ? shown : &none)->positionFormat, kLabelFormatSize);
}
