// Extra exports of the test build for the configuration pages: the shared
// window operations and the page state that no export hands out.
#include "ui/device_page_state.h"
#include "ui/page_controls.h"
#include "ui/page_state.h"
#include "ui/resource_text.h"
#include "ui/stage_page_state.h"

extern "C" {
void WINAPI ProbeFitDropDown(HWND combo) {
    FitDropDown(combo);
}
const char* WINAPI ProbeLoadResourceText(int id) {
    return LoadResourceText(id);
}
HWND WINAPI ProbeStagePageWindow() {
    return StagePageWindow;
}
void WINAPI ProbeSetDevicePageWindow(HWND page) {
    DevicePageWindow = page;
}
// Where the host last asked for the stage page; 0 without one.
int WINAPI ProbePageTop() {
    const StagePage* page = StagePageOf(StagePageWindow);
    return page != nullptr ? page->top : 0;
}
// A size typed on the page of `axis` waits for its commit: the XY page, or the
// Z stage page or focus device page; 0 when no page of the axis is shown.
int WINAPI ProbeUserStepEdited(int axis) {
    if (axis != 0 && axis != 1) {
        return -1;
    }
    const StepAxis wanted = axis == 0 ? StepAxis::XY : StepAxis::Z;
    if (const StagePage* page = StagePageOf(StagePageWindow)) {
        if (page->axis == wanted) {
            return page->step.edited ? 1 : 0;
        }
    }
    const DevicePage* focus = DevicePageOf(DevicePageWindow);
    return wanted == StepAxis::Z && focus != nullptr && focus->step.edited ? 1 : 0;
}
}
