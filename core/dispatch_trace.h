// Records a dispatch call in the diagnostic trace: object, member, arguments
// (by-reference ones as the server left them), HRESULT, result and duration.
#pragma once
#include <windows.h>
#include <oaidl.h>
#include "core/server_members.h"

// Makes the call as the caller set it up (`flags` the call kind, `params` in
// DISPPARAMS order), and records it when the trace is on.
HRESULT InvokeTraced(IDispatch* target, const ServerMember& member, WORD flags, DISPPARAMS& params,
                     VARIANT* result, EXCEPINFO& exception);

// Records how binding an automation object ended: the first thing to look at
// when a device does not answer.
void TraceBinding(const wchar_t* progId, const char* outcome, HRESULT hr);
