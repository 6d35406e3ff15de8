// Counts of the module's automation objects and their references, and the
// server locks, which together decide whether the module may be unloaded.
#pragma once
#include <windows.h>

void ObjectCreated();
void ObjectDestroyed();
void ReferenceAdded();
void ReferenceReleased();
void ServerLocked();
void ServerUnlocked();

LONG LiveObjectCount();
LONG OutstandingReferenceCount();
bool ModuleInUse();
// Called whenever the last object goes or the last lock is given back while
// nothing else is in use, so that a local server can end; none by default.
void SetUnusedHandler(void (*handler)());
