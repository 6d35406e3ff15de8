// The controller objects this server process has handed out, kept so that the
// server can cut its clients off (CoDisconnectObject) as a real server does
// when it shuts down under them. Each object is made through the class table's
// function and wrapped in a thin shell that shares the object's reference
// count, so the accounting's counts stay what they were; the shell only leaves
// the list when the object goes.
#pragma once
#include "sim/class_table.h"

// The controller's classes as the class table has them, with creation
// functions that put each new object on the list.
const ServerClass* TrackedClasses();
int TrackedClassCount();
const ServerClass* FindTrackedClassByKind(int kind);

// Disconnects every listed object from its clients; their proxies then answer
// RPC_E_DISCONNECTED or CO_E_OBJNOTCONNECTED. Objects nobody else holds go at
// once. Returns how many objects were cut off; `failure` gets the first failed
// disconnection's HRESULT, S_OK when none failed.
LONG DisconnectTrackedObjects(HRESULT* failure);
