// The local server's control object: an automation object whose members, from
// a table of handlers, steer and observe the controller model. It keeps the
// server running as a lock does and is not counted among the controller's
// objects, nor are its calls journaled.
#pragma once
#include "sim/automation_object.h"

// Fills `result` with the member's value; a method without one leaves it empty.
using ControlHandler = HRESULT (*)(const Arguments& args, VARIANT* result);

struct ControlEntry {
    const ServerMember* member;
    ControlHandler handler;
};

// The handlers, defined with the members they serve.
const ControlEntry* ControlEntries();
UINT ControlEntryCount();

// A new control object with one reference, owned by the caller.
HRESULT CreateControlObject(IDispatch** out);
