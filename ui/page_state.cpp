#include "ui/page_state.h"
#include "core/module_state.h"
#include <initializer_list>

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

namespace {
// The module's code is about to go away while the host may keep its window:
// no page may keep a dialog procedure in it. A page of this thread is
// destroyed; one of another thread, which this thread may not destroy, keeps
// only the system's own dialog handling and gets no more messages of ours.
void RetirePagesAtUnload() {
    for (HWND* slot : {&StagePageWindow, &DevicePageWindow}) {
        HWND page = *slot;
        *slot = nullptr;
        if (page == nullptr || !IsWindow(page)) {
            continue;
        }
        SetWindowLongPtrA(page, DWLP_DLGPROC, 0);
        if (GetWindowThreadProcessId(page, nullptr) == GetCurrentThreadId()) {
            DestroyWindow(page);
        }
    }
}

const bool retiredAtUnload = (RunAtUnload(&RetirePagesAtUnload), true);
} // namespace
