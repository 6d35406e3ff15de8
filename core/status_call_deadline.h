// The deadline of a wait's status calls to a server in another apartment or
// process. Such a call blocks until the server answers; once the wait's
// time-out has passed, the call still running is cancelled through COM's
// message filter. COM asks the filter only when a message arrives while it
// waits, so a thread-pool timer posts one to the waiting thread at the
// deadline. The host's own filter stays in charge of everything else and is
// back in place after each call.
//
// Windows ends a cancelled call at once (RPC_E_CALL_CANCELED); Wine 8 marks it
// cancelled but still waits for the server's answer, so there a wait can run
// over its time-out by the one status call under way.
#pragma once
#include <windows.h>
#include <objidl.h>

class StatusCallDeadline final : public IMessageFilter {
  public:
    // For a wait of `timeOut` ms starting now; with `armed` false (an object
    // in the caller's apartment, whose calls cannot be cancelled) nothing is
    // done.
    StatusCallDeadline(DWORD timeOut, bool armed);
    ~StatusCallDeadline();
    StatusCallDeadline(const StatusCallDeadline&) = delete;
    StatusCallDeadline& operator=(const StatusCallDeadline&) = delete;

    // The filter stands for the lifetime of one status call. The tests are
    // inline: a wait on an object in the caller's apartment polls as fast as
    // the object answers, and has nothing to install.
    class Call {
      public:
        explicit Call(StatusCallDeadline& deadline) : deadline_(deadline) {
            if (deadline_.timer_ != nullptr) {
                Install();
            }
        }
        ~Call() {
            if (installed_) {
                Remove();
            }
        }
        Call(const Call&) = delete;
        Call& operator=(const Call&) = delete;

      private:
        void Install();
        void Remove();

        StatusCallDeadline& deadline_;
        bool installed_ = false;
    };

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    // Lives on the waiting thread's stack, longer than COM holds it.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD callType, HTASK caller, DWORD tickCount,
                                               LPINTERFACEINFO info) override;
    DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK callee, DWORD tickCount,
                                              DWORD rejectType) override;
    DWORD STDMETHODCALLTYPE MessagePending(HTASK callee, DWORD tickCount,
                                           DWORD pendingType) override;

  private:
    static void CALLBACK Expire(void* self, BOOLEAN);

    DWORD thread_ = 0;
    HANDLE timer_ = nullptr;
    volatile LONG expired_ = 0;
    // The filter that stood before the call's, owned while ours stands.
    IMessageFilter* previous_ = nullptr;
    // The depth of the driver's calls at the status call: a call the host
    // makes into the driver from a message handler meanwhile is not cancelled.
    int callDepth_ = 0;
};
