#include "sim/object_accounting.h"

namespace {
volatile LONG liveObjects = 0;
volatile LONG outstandingReferences = 0;
volatile LONG serverLocks = 0;
void (*volatile unusedHandler)() = nullptr;

LONG Read(volatile LONG* counter) {
    return InterlockedCompareExchange(counter, 0, 0);
}

void NotifyIfUnused() {
    void (*handler)() = unusedHandler;
    if (handler != nullptr && !ModuleInUse()) {
        handler();
    }
}
} // namespace

void ObjectCreated() {
    InterlockedIncrement(&liveObjects);
}
void ObjectDestroyed() {
    InterlockedDecrement(&liveObjects);
    NotifyIfUnused();
}
void ReferenceAdded() {
    InterlockedIncrement(&outstandingReferences);
}
void ReferenceReleased() {
    InterlockedDecrement(&outstandingReferences);
}
void ServerLocked() {
    InterlockedIncrement(&serverLocks);
}
void ServerUnlocked() {
    InterlockedDecrement(&serverLocks);
    NotifyIfUnused();
}

LONG LiveObjectCount() {
    return Read(&liveObjects);
}
LONG OutstandingReferenceCount() {
    return Read(&outstandingReferences);
}
bool ModuleInUse() {
    return Read(&liveObjects) != 0 || Read(&serverLocks) != 0;
}

void SetUnusedHandler(void (*handler)()) {
    unusedHandler = handler;
}
