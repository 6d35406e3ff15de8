#include "sim/type_library.h"
#include "sim/server_module.h"
#include "sim/sim_control.h"
#include <oleauto.h>

namespace {
// The dispinterfaces of TolvoSim.idl, in SimObjectKind order.
constexpr IID kInterfaceIds[] = {
    {0x8ae28eec, 0x1372, 0x4569, {0xac, 0x58, 0xd7, 0x14, 0x9c, 0xdc, 0x77, 0x38}},
    {0x1536747d, 0xd087, 0x4fe2, {0xa7, 0xa0, 0xe2, 0xe9, 0x29, 0x19, 0x40, 0x5d}},
    {0xa19705fb, 0xb92b, 0x450a, {0x87, 0x20, 0x53, 0x7a, 0xe0, 0xaa, 0x7d, 0x58}},
    {0x45026272, 0x83a8, 0x469b, {0x90, 0x04, 0x9f, 0x55, 0x3b, 0x73, 0x8a, 0x58}},
};

// Loaded from this binary's own resource each time: oleaut32 keeps loaded
// libraries, and holding none here lets the DLL unload.
HRESULT LoadOwnLibrary(REGKIND kind, ITypeLib** out) {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(ServerModule(), path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return HRESULT_FROM_WIN32(GetLastError());
    }
    return LoadTypeLibEx(path, kind, out);
}
} // namespace

HRESULT ObjectTypeInfo(int kind, ITypeInfo** out) {
    if (out == nullptr) {
        return E_POINTER;
    }
    *out = nullptr;
    if (kind < SimScan || kind > SimFilter) {
        return TYPE_E_ELEMENTNOTFOUND;
    }
    ITypeLib* library = nullptr;
    HRESULT hr = LoadOwnLibrary(REGKIND_NONE, &library);
    if (SUCCEEDED(hr)) {
        hr = library->GetTypeInfoOfGuid(kInterfaceIds[kind], out);
        library->Release();
    }
    return hr;
}

HRESULT RegisterTypeLibrary() {
    ITypeLib* library = nullptr;
    const HRESULT hr = LoadOwnLibrary(REGKIND_REGISTER, &library);
    if (SUCCEEDED(hr)) {
        library->Release();
    }
    return hr;
}

HRESULT UnregisterTypeLibrary() {
    return UnRegisterTypeLib(kSimTypeLibId, kSimTypeLibMajor, kSimTypeLibMinor, LANG_NEUTRAL,
                             SYS_WIN32);
}
