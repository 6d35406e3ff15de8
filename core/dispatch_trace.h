// Records a dispatch call in the diagnostic trace: object, member, arguments
// (by-reference ones as the server left them), HRESULT, result and duration.
#pragma once
#include <windows.h>
#include <oaidl.h>
#include "core/server_members.h"

// `args` are in DISPPARAMS order (last first); `result` may be null.
void TraceDispatchCall(const ServerMember& member, const VARIANTARG* args, UINT count, HRESULT hr,
                       const VARIANT* result, const EXCEPINFO& exception, LONGLONG start);
