// The driver's calls into the servers that are under way on the host's thread.
// A call to a local server lets COM dispatch window messages while it waits,
// so the host may call the driver again from a message handler. What must not
// happen under a running call (giving back the objects it uses, or calling out
// from a handler of a sent message, which COM refuses) is left to the moment
// the outermost call has ended.
#pragma once

extern int OutgoingCallDepth;
// What to do once the outermost call has ended, or nullptr.
extern void (*AfterOutgoingCalls)();

void RunAfterOutgoingCalls() noexcept;

// Marks one call under way for its lifetime. Inline: every dispatch call
// makes one.
class OutgoingCall {
  public:
    inline __attribute__((always_inline)) OutgoingCall() { ++OutgoingCallDepth; }
    inline __attribute__((always_inline)) ~OutgoingCall() {
        if (--OutgoingCallDepth == 0 && AfterOutgoingCalls != nullptr) {
            RunAfterOutgoingCalls();
        }
    }
    OutgoingCall(const OutgoingCall&) = delete;
    OutgoingCall& operator=(const OutgoingCall&) = delete;
};

inline bool CallUnderWay() {
    return OutgoingCallDepth > 0;
}

// Runs `work` when the outermost call under way ends (at once when none is).
void WhenCallsHaveEnded(void (*work)());
