#include "ui/page_state.h"
#include "core/module_state.h"
#include "ui/device_page_state.h"
#include "ui/stage_page_state.h"

HWND StagePageWindow = nullptr;
HWND DevicePageWindow = nullptr;

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
// Either way the page's state goes now, since its procedure will not see the
// window go.
void RetirePage(HWND& slot, void (*freeState)(HWND page, DLGPROC proc), DLGPROC proc) {
    HWND page = slot;
    slot = nullptr;
    if (page == nullptr || !IsWindow(page)) {
        return;
    }
    freeState(page, proc);
    SetWindowLongPtrA(page, DWLP_DLGPROC, 0);
    if (GetWindowThreadProcessId(page, nullptr) == GetCurrentThreadId()) {
        DestroyWindow(page);
    }
}

void RetirePagesAtUnload() {
    RetirePage(StagePageWindow, &FreeDialogState<StagePage>, StgConfigProc);
    RetirePage(DevicePageWindow, &FreeDialogState<DevicePage>, KroConfigProc);
}

const bool retiredAtUnload = (RunAtUnload(&RetirePagesAtUnload), true);
} // namespace
