// The driver's calls into the servers that are under way on the host's thread.
// A call to a local server lets COM dispatch window messages while it waits,
// so the host may call the driver again from a message handler. What must not
// happen under a running call (giving back the objects it uses, or calling out
// from a handler of a sent message, which COM refuses) is left to the moment
// the outermost call has ended. The count belongs to the controller link.
#pragma once
#include "core/controller_link.h"

// Marks one call under way for its lifetime. Inline: every dispatch call
// makes one.
class OutgoingCall {
  public:
    inline __attribute__((always_inline)) OutgoingCall() { ++Link.callDepth_; }
    inline __attribute__((always_inline)) ~OutgoingCall() {
        if (--Link.callDepth_ == 0 && Link.retiredLinkWaits_) {
            Link.CloseRetiredLink();
        }
    }
    OutgoingCall(const OutgoingCall&) = delete;
    OutgoingCall& operator=(const OutgoingCall&) = delete;
};

inline bool CallUnderWay() {
    return Link.CallUnderWay();
}
