// The device page's state, for the device page tests.
#include "tests/probe/device_page_probe.h"
#include "ui/device_page_state.h"
#include "ui/label_formats.h"
#include "ui/page_state.h"
#include <cstring>

extern "C" void WINAPI ProbeDevicePageState(DevicePageState* out) {
    out->page = DevicePageWindow;
    out->stagePage = StagePageWindow;
    out->kind = CurrentPageKind;
    out->slot = CurrentDeviceIndex;
    out->top = PageTop;
    out->positionNameEdited = PositionNameEdited ? 1 : 0;
    out->shutterNameEdited = ShutterNameEdited ? 1 : 0;
    out->filterSetDirty = FilterSetDirty ? 1 : 0;
}

extern "C" void WINAPI ProbeLabelFormats(char* title, char* position) {
    std::memcpy(title, TitleFormat, kLabelFormatSize);
    std::memcpy(position, PositionFormat, kLabelFormatSize);
}
