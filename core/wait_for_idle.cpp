#include "core/wait_for_idle.h"
#include "core/controller_link.h"
#include "core/dispatch_call.h"
#include "core/scan_members.h"
#include "core/status_call_deadline.h"

namespace {
// A poll the server refused is tried again after this pause, and a wait with
// nothing to ask sleeps it out: no wait keeps a processor busy.
constexpr DWORD kPauseMs = 10;

// Nobody will ever answer idle, or the deadline has passed.
bool EndsTheWait(HRESULT result) {
    return IsServerGone(result) || result == RPC_E_CALL_CANCELED;
}
} // namespace

int WaitForIdle(DWORD timeOut) {
    LONG busy = 1;
    const DWORD start = GetTickCount();
    // A link closed under the wait, by a close the host made from a message
    // handler during a status call, ends it at the next poll.
    const DispatchConnection& scan = Link.ScanObject();
    const bool bound = scan.IsBound();
    StatusCallDeadline deadline(timeOut, bound && scan.IsProxy());
    for (;;) {
        if (scan.IsBound()) {
            try {
                const StatusCallDeadline::Call call(deadline);
                CallMethod(scan.get(), ScanMember::GetBusy, &busy);
            } catch (const DispatchFailure& failure) {
                if (EndsTheWait(failure.result)) {
                    return 0;
                }
                Sleep(kPauseMs);
            }
        } else if (bound) {
            return 0;
        } else {
            Sleep(kPauseMs);
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
