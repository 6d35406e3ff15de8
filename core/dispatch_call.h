// Late-bound calls on the controller's automation objects.
#pragma once
#include <windows.h>
#include <oaidl.h>
#include "core/server_members.h"

// A dispatch call that failed; caught at the export boundary.
struct DispatchFailure {
    HRESULT result;
};

// Argument makers, for callers that build a call's DISPPARAMS themselves.
// By-reference arguments point at the caller's variable, which the server
// reads and overwrites. Made inline, with the reserved words zeroed, instead of
// through VariantInit.
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

// The one call into the server that the calls below make: `argsLastFirst`
// lists the call's `count` arguments as DISPPARAMS does, and `result` is the
// get's result or nullptr. Throws DispatchFailure when the call fails or
// `target` is empty, with `result` cleared.
void CallServer(IDispatch* target, const ServerMember& member, VARIANTARG* argsLastFirst,
                UINT count, VARIANT* result);
// A by-reference argument that the server answered in the argument itself:
// the answer is stored in the caller's `variable` of `type`.
void StoreAnswerInPlace(VARTYPE type, void* variable, VARIANTARG& received);
// A get's result that is not in the type asked for, converted to it and given
// back.
double ConvertedR8(VARIANT& result);
float ConvertedR4(VARIANT& result);
SHORT ConvertedI2(VARIANT& result);

// The calls below are made inline, and write their arguments field by field
// where the server reads them: on a small in-process server a further call, a
// result handed back through memory, or a copy that reads back what was just
// written in smaller pieces (the processor holds such a read until the writes
// have reached the cache) costs about as much as the server's whole answer.
#define DISPATCH_INLINE inline __attribute__((always_inline))
#define DISPATCH_INLINE_LAMBDA __attribute__((always_inline))

DISPATCH_INLINE void SetType(VARIANTARG& arg, VARTYPE type) {
    arg.vt = type;
    arg.wReserved1 = 0;
    arg.wReserved2 = 0;
    arg.wReserved3 = 0;
}

// The arguments of CallMethod, by their C++ type: int and LONG go as VT_I4,
// double as VT_R8, and a pointer to a LONG, a double or a BSTR as that type by
// reference (ReferenceType below).
DISPATCH_INLINE void PlaceArgument(VARIANTARG& arg, LONG value) {
    SetType(arg, VT_I4);
    arg.llVal = 0;
    arg.lVal = value;
}
DISPATCH_INLINE void PlaceArgument(VARIANTARG& arg, int value) {
    PlaceArgument(arg, static_cast<LONG>(value));
}
DISPATCH_INLINE void PlaceArgument(VARIANTARG& arg, double value) {
    SetType(arg, VT_R8);
    arg.dblVal = value;
}

// The type a variable that a by-reference argument points at is sent as; no
// other variable can be passed.
template <typename Variable> struct ReferenceType;
template <> struct ReferenceType<LONG> { static constexpr VARTYPE value = VT_I4; };
template <> struct ReferenceType<double> { static constexpr VARTYPE value = VT_R8; };
template <> struct ReferenceType<BSTR> { static constexpr VARTYPE value = VT_BSTR; };

template <typename Variable>
DISPATCH_INLINE void PlaceArgument(VARIANTARG& arg, Variable* variable) {
    SetType(arg, ReferenceType<Variable>::value | VT_BYREF);
    arg.llVal = 0;
    arg.byref = variable;
}

// A server may answer a by-reference argument in the argument itself, in a
// type of its own, instead of through the reference: servers that convert
// their arguments in place do, and the marshaller then hands the caller the
// converted argument. Values need nothing.
template <typename Value> DISPATCH_INLINE void TakeAnswerInPlace(VARIANTARG&, Value) {}
template <typename Variable>
DISPATCH_INLINE void TakeAnswerInPlace(VARIANTARG& received, Variable* variable) {
    constexpr VARTYPE type = ReferenceType<Variable>::value;
    if (received.vt != (type | VT_BYREF) || received.byref != variable) {
        StoreAnswerInPlace(type, variable, received);
    }
}

// Calls method `member` with `args` in declaration order (their types as
// PlaceArgument takes them). Its result is a VT_I4 that nobody reads, so none
// is asked for. Throws DispatchFailure when the call fails or `target` is
// empty.
template <typename... Args>
DISPATCH_INLINE void CallMethod(IDispatch* target, const ServerMember& member, Args... args) {
    constexpr UINT count = sizeof...(Args);
    static_assert(count <= kMaxMemberArgs, "more arguments than a member takes");
    VARIANTARG lastFirst[count > 0 ? count : 1];
    UINT slot = count;
    (PlaceArgument(lastFirst[--slot], args), ...);
    CallServer(target, member, lastFirst, count, nullptr);
    slot = count;
    (TakeAnswerInPlace(lastFirst[--slot], args), ...);
}

// Property get converted to double or float. The double's callers use the
// value, so a get without one (VT_EMPTY) fails; LinkValue's float is read
// only to be discarded, so an empty one reads as 0. A server answering in the
// type asked for, as the controller's do, needs no conversion and leaves
// nothing to give back.
DISPATCH_INLINE double GetPropertyR8(IDispatch* target, const ServerMember& member) {
    VARIANT result;
    result.vt = VT_EMPTY;
    CallServer(target, member, nullptr, 0, &result);
    return result.vt == VT_R8 ? result.dblVal : ConvertedR8(result);
}

DISPATCH_INLINE float GetPropertyR4(IDispatch* target, const ServerMember& member) {
    VARIANT result;
    result.vt = VT_EMPTY;
    CallServer(target, member, nullptr, 0, &result);
    return result.vt == VT_R4 ? result.fltVal : ConvertedR4(result);
}

// Indexed property get converted to a 16-bit integer; VT_EMPTY fails.
DISPATCH_INLINE SHORT GetIndexedPropertyI2(IDispatch* target, const ServerMember& member,
                                           LONG index) {
    VARIANTARG arg;
    PlaceArgument(arg, index);
    VARIANT result;
    result.vt = VT_EMPTY;
    CallServer(target, member, &arg, 1, &result);
    return result.vt == VT_I2 ? result.iVal : ConvertedI2(result);
}

// Property put of a double.
DISPATCH_INLINE void PutPropertyR8(IDispatch* target, const ServerMember& member, double value) {
    VARIANTARG arg;
    PlaceArgument(arg, value);
    CallServer(target, member, &arg, 1, nullptr);
}

// Whether a failed call means that the server has gone away.
bool IsServerGone(HRESULT result);
