#include "sim/member_check.h"

namespace {
HRESULT CheckNamedArgs(const ServerMember& member, const DISPPARAMS& params) {
    if (member.kind != CallKind::PropertyPut) {
        return params.cNamedArgs == 0 ? S_OK : DISP_E_NONAMEDARGS;
    }
    if (params.cNamedArgs == 0) {
        return DISP_E_PARAMNOTOPTIONAL;
    }
    if (params.cNamedArgs != 1 || params.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT) {
        return DISP_E_NONAMEDARGS;
    }
    return S_OK;
}
} // namespace

HRESULT CheckArguments(const ServerMember& member, const DISPPARAMS& params, UINT* argError) {
    if (params.cArgs != member.argCount) {
        return DISP_E_BADPARAMCOUNT;
    }
    const HRESULT hr = CheckNamedArgs(member, params);
    if (FAILED(hr)) {
        return hr;
    }
    for (UINT i = 0; i < member.argCount; ++i) {
        // DISPPARAMS lists the arguments last first.
        const UINT position = params.cArgs - 1 - i;
        const VARIANTARG& arg = params.rgvarg[position];
        const bool typeMatches = arg.vt == member.argTypes[i];
        if (!typeMatches || ((arg.vt & VT_BYREF) != 0 && arg.byref == nullptr)) {
            if (argError != nullptr) {
                *argError = position;
            }
            return typeMatches ? E_POINTER : DISP_E_TYPEMISMATCH;
        }
    }
    return S_OK;
}
