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
// which the server reads and overwrites. Made inline, with the reserved words
// zeroed, instead of through VariantInit: every export makes its arguments
// anew, and a call into oleaut32 for each cost more than the server's own work
// on a small in-process server.
inline VARIANTARG ArgR8(double value) {
    VARIANTARG v{};
    v.vt = VT_R8;
    v.dblVal = value;
    return v;
}

inline VARIANTARG ArgI4(LONG value) {
    VARIANTARG v{};
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

inline VARIANTARG RefI4(LONG* variable) {
    VARIANTARG v{};
    v.vt = VT_I4 | VT_BYREF;
    v.plVal = variable;
    return v;
}

inline VARIANTARG RefR8(double* variable) {
    VARIANTARG v{};
    v.vt = VT_R8 | VT_BYREF;
    v.pdblVal = variable;
    return v;
}

inline VARIANTARG RefBstr(BSTR* variable) {
    VARIANTARG v{};
    v.vt = VT_BSTR | VT_BYREF;
    v.pbstrVal = variable;
    return v;
}

// Calls method `member` with `args` in declaration order; its result is
// discarded. Throws DispatchFailure when the call fails or `target` is empty.
void CallMethod(IDispatch* target, const ServerMember& member,
                std::initializer_list<VARIANTARG> args = {});
// Property get converted to double or float. The double's callers use the
// value, so a get without one (VT_EMPTY) fails; LinkValue's float is read
// only to be discarded, so an empty one reads as 0.
double GetPropertyR8(IDispatch* target, const ServerMember& member);
float GetPropertyR4(IDispatch* target, const ServerMember& member);
// Indexed property get converted to a 16-bit integer; VT_EMPTY fails.
SHORT GetIndexedPropertyI2(IDispatch* target, const ServerMember& member, LONG index);
// Property put of a double.
void PutPropertyR8(IDispatch* target, const ServerMember& member, double value);

// Whether a failed call means that the server has gone away.
bool IsServerGone(HRESULT result);
