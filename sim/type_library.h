// The type library that the server's TYPELIB resource holds (typelib/): what
// GetTypeInfo answers and what registration enters under HKCR\TypeLib, so
// that object browsers and scripting clients see the members.
#pragma once
#include <oaidl.h>

// The library id and version of typelib/TolvoSim.idl.
constexpr GUID kSimTypeLibId = {
    0xac61e77e, 0x19e4, 0x4747, {0x89, 0x5d, 0xb1, 0x22, 0x01, 0x91, 0xac, 0xf4}};
constexpr WORD kSimTypeLibMajor = 1;
constexpr WORD kSimTypeLibMinor = 0;

// The dispinterface of the object kind (SimObjectKind), one reference for the
// caller; TYPE_E_ELEMENTNOTFOUND for a kind the library does not describe.
HRESULT ObjectTypeInfo(int kind, ITypeInfo** out);

HRESULT RegisterTypeLibrary();
HRESULT UnregisterTypeLibrary();
