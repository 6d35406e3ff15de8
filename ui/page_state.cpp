#include "ui/page_state.h"

HWND StagePageWindow = nullptr;
HWND DevicePageWindow = nullptr;
int PageTop = 0;
int CurrentPageKind = 0;
int CurrentDeviceIndex = 0;
bool FilterSetDirty = false;

void DestroyStagePage() {
    if (StagePageWindow != nullptr && IsWindow(StagePageWindow)) {
        DestroyWindow(StagePageWindow);
    }
    StagePageWindow = nullptr;
}
