// Records a dispatch call in the diagnostic trace: object, member, arguments
// (by-reference ones as the server left them), HRESULT, result and duration.
#pragma once
#include <windows.h>
#include <oaidl.h>
#include "core/server_members.h"

// Makes the call as the caller set it up (`params` in DISPPARAMS order), and
// records it when the trace is on, with the exception record a server that
// raises an error fills in.
HRESULT InvokeTraced(IDispatch* target, const ServerMember& member, DISPPARAMS& params,
                     VARIANT* result);

// Records how binding an automation object ended: the first thing to look at
// when a device does not answer.
void TraceBinding(const wchar_t* progId, const char* outcome, HRESULT hr);
