// How a member of the controller's automation objects is called: its DISPID,
// call kind and argument types. The driver's call sites, the simulator and the
// tests share one table per object, so that every party agrees on each member
// and traces can print members by name.
#pragma once
#include <windows.h>
#include <oaidl.h>

enum class CallKind { Method, PropertyGet, PropertyPut };

constexpr UINT kMaxMemberArgs = 6;

struct ServerMember {
    const char* name;
    DISPID dispid;
    CallKind kind;
    UINT argCount;
    VARTYPE argTypes[kMaxMemberArgs];
    // The type a property get's value is converted to. A method's result is
    // a VT_I4 that nobody reads; a put has none.
    VARTYPE resultType = VT_EMPTY;
};

// One automation object's members.
struct ServerInterface {
    const char* objectName; // as traces print it: "scan", "stage", "focus", "filter"
    const ServerMember* const* members;
    UINT memberCount;
};

constexpr WORD DispatchFlags(CallKind kind) {
    return kind == CallKind::Method        ? DISPATCH_METHOD
           : kind == CallKind::PropertyGet ? DISPATCH_PROPERTYGET
                                           : DISPATCH_PROPERTYPUT;
}

constexpr VARTYPE kRefI4 = VT_I4 | VT_BYREF;
constexpr VARTYPE kRefR8 = VT_R8 | VT_BYREF;
constexpr VARTYPE kRefBstr = VT_BSTR | VT_BYREF;

// Whether a call with `dispid` and `flags` means `member`. Callers that cannot
// tell a method from a property get pass both flags.
inline bool MemberAccepts(const ServerMember& member, DISPID dispid, WORD flags) {
    const bool either =
        flags == (DISPATCH_METHOD | DISPATCH_PROPERTYGET) && member.kind != CallKind::PropertyPut;
    return member.dispid == dispid && (flags == DispatchFlags(member.kind) || either);
}

inline const ServerMember* FindServerMember(const ServerInterface& objectInterface, DISPID dispid,
                                            WORD flags) {
    for (UINT i = 0; i < objectInterface.memberCount; ++i) {
        if (MemberAccepts(*objectInterface.members[i], dispid, flags)) {
            return objectInterface.members[i];
        }
    }
    return nullptr;
}
