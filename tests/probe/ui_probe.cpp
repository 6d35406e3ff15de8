// Extra exports of the test build for the configuration pages: the shared
// window operations and the page state that no export hands out.
#include "ui/page_controls.h"
#include "ui/page_state.h"
#include "ui/resource_text.h"
#include "ui/step_size_box.h"

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
int WINAPI ProbePageTop() {
    return PageTop;
}
int WINAPI ProbeUserStepEdited(int axis) {
    return axis == 0 || axis == 1 ? UserStepEdited[axis] : -1;
}
}
