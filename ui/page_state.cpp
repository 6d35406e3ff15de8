#include "ui/page_state.h"

HWND StagePageWindow = nullptr;

void DestroyStagePage() {
    if (StagePageWindow != nullptr && IsWindow(StagePageWindow)) {
        DestroyWindow(StagePageWindow);
    }
    StagePageWindow = nullptr;
}
