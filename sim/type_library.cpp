#include "sim/type_library.h"
#include "sim/server_module.h"
#include "sim/server_variant.h"
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
// The dispinterfaces of TolvoSimVariants.idl, in VariantInterfaceIndex order.
constexpr IID kVariantInterfaceIds[] = {
    {0x3c0e8f52, 0x6a0d, 0x4d8e, {0x9b, 0x51, 0x2f, 0x7a, 0x41, 0x0c, 0x93, 0x01}},
    {0x3c0e8f52, 0x6a0d, 0x4d8e, {0x9b, 0x51, 0x2f, 0x7a, 0x41, 0x0c, 0x93, 0x02}},
    {0x3c0e8f52, 0x6a0d, 0x4d8e, {0x9b, 0x51, 0x2f, 0x7a, 0x41, 0x0c, 0x93, 0x03}},
    {0x3c0e8f52, 0x6a0d, 0x4d8e, {0x9b, 0x51, 0x2f, 0x7a, 0x41, 0x0c, 0x93, 0x04}},
    {0x3c0e8f52, 0x6a0d, 0x4d8e, {0x9b, 0x51, 0x2f, 0x7a, 0x41, 0x0c, 0x93, 0x05}},
};
// TYPELIB resources: the tabled members, and the server variants'.
constexpr int kTabledLibrary = 1;
constexpr int kVariantLibrary = 2;

// Loaded from this binary's own resource each time: oleaut32 keeps loaded
// libraries, and holding none here lets the DLL unload.
HRESULT LoadOwnLibrary(REGKIND kind, int resource, ITypeLib** out) {
    wchar_t path[MAX_PATH + 2];
    const DWORD length = GetModuleFileNameW(ServerModule(), path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return HRESULT_FROM_WIN32(GetLastError());
    }
    // "module\2" names the module's second TYPELIB resource.
    if (resource != kTabledLibrary) {
        path[length] = L'\\';
        path[length + 1] = static_cast<wchar_t>(L'0' + resource);
        path[length + 2] = L'\0';
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
    const int variant = VariantInterfaceIndex(kind);
    ITypeLib* library = nullptr;
    HRESULT hr =
        LoadOwnLibrary(REGKIND_NONE, variant < 0 ? kTabledLibrary : kVariantLibrary, &library);
    if (SUCCEEDED(hr)) {
        hr = library->GetTypeInfoOfGuid(
            variant < 0 ? kInterfaceIds[kind] : kVariantInterfaceIds[variant], out);
        library->Release();
    }
    return hr;
}

HRESULT RegisterTypeLibrary() {
    ITypeLib* library = nullptr;
    const HRESULT hr = LoadOwnLibrary(REGKIND_REGISTER, kTabledLibrary, &library);
    if (SUCCEEDED(hr)) {
        library->Release();
    }
    return hr;
}

HRESULT UnregisterTypeLibrary() {
    return UnRegisterTypeLib(kSimTypeLibId, kSimTypeLibMajor, kSimTypeLibMinor, LANG_NEUTRAL,
                             SYS_WIN32);
}
