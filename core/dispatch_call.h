// Late-bound calls on the controller's automation objects.
#pragma once
#include <windows.h>
#include <oaidl.h>
#include <initializer_list>
#include "core/server_members.h"

// A dispatch call that failed; caught at the export boundary.
struct DispatchFailure {
    HRESULT result;
};

// Argument makers. By-reference arguments point at the caller's variable,
// which the server reads and overwrites.
VARIANTARG ArgR8(double value);
VARIANTARG ArgI4(LONG value);
VARIANTARG RefI4(LONG* variable);
VARIANTARG RefR8(double* variable);
VARIANTARG RefBstr(BSTR* variable);

// Calls method `member` with `args` in declaration order; its result is
// discarded. Throws DispatchFailure when the call fails or `target` is empty.
void CallMethod(IDispatch* target, const ServerMember& member,
                std::initializer_list<VARIANTARG> args = {});
// Property get converted to double or float.
double GetPropertyR8(IDispatch* target, const ServerMember& member);
float GetPropertyR4(IDispatch* target, const ServerMember& member);
// Indexed property get converted to a 16-bit integer.
SHORT GetIndexedPropertyI2(IDispatch* target, const ServerMember& member, LONG index);
// Property put of a double.
void PutPropertyR8(IDispatch* target, const ServerMember& member, double value);

// Whether a failed call means that the server has gone away.
bool IsServerGone(HRESULT result);
