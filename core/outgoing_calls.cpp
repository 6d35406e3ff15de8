#include "core/outgoing_calls.h"

int OutgoingCallDepth = 0;
void (*AfterOutgoingCalls)() = nullptr;

void RunAfterOutgoingCalls() noexcept {
    void (*work)() = AfterOutgoingCalls;
    AfterOutgoingCalls = nullptr;
    work();
}

void WhenCallsHaveEnded(void (*work)()) {
    if (CallUnderWay()) {
        AfterOutgoingCalls = work;
    } else {
        work();
    }
}
