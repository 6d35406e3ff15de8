#include "ui/page_state.h"

HWND StagePageWindow = nullptr;
int StagePortOwner = -1;

void DestroyStagePage() {
    if (StagePageWindow != nullptr && IsWindow(StagePageWindow)) {
        DestroyWindow(StagePageWindow);
    }
    StagePageWindow = nullptr;
}
