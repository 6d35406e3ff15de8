#include "core/status_call_deadline.h"
#include "core/controller_link.h"

namespace {
// Posted to the waiting thread at the deadline; a name of its own, so that it
// is told apart from the host's messages and taken out of its queue again.
UINT WakeMessage() {
    static const UINT message = RegisterWindowMessageW(L"STolvo32 status call deadline");
    return message;
}

// A time-out this long has no deadline worth a timer.
constexpr DWORD kLongestDeadlineMs = 0x7FFFFFFF;
} // namespace

StatusCallDeadline::StatusCallDeadline(DWORD timeOut, bool armed) {
    if (!armed || timeOut >= kLongestDeadlineMs || WakeMessage() == 0) {
        return;
    }
    thread_ = GetCurrentThreadId();
    // One past the time-out, as the wait's own test is "more than the time-out".
    if (!CreateTimerQueueTimer(&timer_, nullptr, &StatusCallDeadline::Expire, this, timeOut + 1, 0,
                               WT_EXECUTEONLYONCE)) {
        timer_ = nullptr;
    }
}

StatusCallDeadline::~StatusCallDeadline() {
    if (timer_ == nullptr) {
        return;
    }
    // Waits for a callback under way, so that nothing posts after this.
    DeleteTimerQueueTimer(nullptr, timer_, INVALID_HANDLE_VALUE);
    if (expired_ != 0) {
        MSG message;
        while (PeekMessageW(&message, reinterpret_cast<HWND>(-1), WakeMessage(), WakeMessage(),
                            PM_REMOVE | PM_QS_POSTMESSAGE)) {
        }
    }
}

void CALLBACK StatusCallDeadline::Expire(void* self, BOOLEAN) {
    auto* deadline = static_cast<StatusCallDeadline*>(self);
    InterlockedExchange(&deadline->expired_, 1);
    PostThreadMessageW(deadline->thread_, WakeMessage(), 0, 0);
}

void StatusCallDeadline::Call::Install() {
    deadline_.callDepth_ = Link.CallDepth() + 1;
    // Fails in a multi-threaded apartment, which has no message filter.
    installed_ = SUCCEEDED(CoRegisterMessageFilter(&deadline_, &deadline_.previous_));
}

void StatusCallDeadline::Call::Remove() {
    IMessageFilter* ours = nullptr;
    CoRegisterMessageFilter(deadline_.previous_, &ours);
    if (deadline_.previous_ != nullptr) {
        deadline_.previous_->Release();
        deadline_.previous_ = nullptr;
    }
}

HRESULT STDMETHODCALLTYPE StatusCallDeadline::QueryInterface(REFIID riid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IMessageFilter)) {
        *object = static_cast<IMessageFilter*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

DWORD STDMETHODCALLTYPE StatusCallDeadline::HandleInComingCall(DWORD callType, HTASK caller,
                                                               DWORD tickCount,
                                                               LPINTERFACEINFO info) {
    return previous_ != nullptr ? previous_->HandleInComingCall(callType, caller, tickCount, info)
                                : static_cast<DWORD>(SERVERCALL_ISHANDLED);
}

// Without a filter of the host's, COM fails a rejected call at once.
DWORD STDMETHODCALLTYPE StatusCallDeadline::RetryRejectedCall(HTASK callee, DWORD tickCount,
                                                              DWORD rejectType) {
    return previous_ != nullptr ? previous_->RetryRejectedCall(callee, tickCount, rejectType)
                                : static_cast<DWORD>(-1);
}

DWORD STDMETHODCALLTYPE StatusCallDeadline::MessagePending(HTASK callee, DWORD tickCount,
                                                           DWORD pendingType) {
    if (expired_ != 0 && Link.CallDepth() == callDepth_) {
        return PENDINGMSG_CANCELCALL;
    }
    return previous_ != nullptr ? previous_->MessagePending(callee, tickCount, pendingType)
                                : static_cast<DWORD>(PENDINGMSG_WAITDEFPROCESS);
}
