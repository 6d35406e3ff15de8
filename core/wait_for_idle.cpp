#include "core/wait_for_idle.h"
#include "core/automation_objects.h"
#include "core/dispatch_call.h"
#include "core/scan_members.h"

int WaitForIdle(DWORD timeOut) {
    LONG busy = 1;
    const DWORD start = GetTickCount();
    for (;;) {
        if (ScanObject.IsBound()) {
            try {
                CallMethod(ScanObject.get(), ScanMember::GetBusy, {RefI4(&busy)});
            } catch (const DispatchFailure& failure) {
                // Nobody will ever answer idle; other failures count as busy.
                if (IsServerGone(failure.result)) {
                    return 0;
                }
            }
        }
        // Unsigned difference: correct across the wrap of the tick count.
        if (GetTickCount() - start > timeOut) {
            return 0;
        }
        if (busy == 0) {
            return 1;
        }
    }
}
