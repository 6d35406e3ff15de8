#include "sim/member_check.h"
#include <oleauto.h>

namespace {
// Lenient by default: a client that is not our driver gets what automation
// servers give. The tests turn strict mode on.
volatile LONG strictArguments = 0;

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

HRESULT CheckShape(const ServerMember& member, const DISPPARAMS& params) {
    if (params.cArgs != member.argCount) {
        return DISP_E_BADPARAMCOUNT;
    }
    return CheckNamedArgs(member, params);
}

HRESULT Refuse(HRESULT hr, UINT position, UINT* argError) {
    if (argError != nullptr) {
        *argError = position;
    }
    return hr;
}

// A by-reference argument: kept when it has the declared type, taken as a
// reference into a by-reference variant after converting that in place.
HRESULT CoerceReference(VARTYPE declared, const VARIANTARG& arg, VARIANTARG* out) {
    if (arg.byref == nullptr) {
        return E_POINTER;
    }
    if (arg.vt == declared) {
        *out = arg;
        return S_OK;
    }
    if (arg.vt != (VT_VARIANT | VT_BYREF)) {
        return DISP_E_TYPEMISMATCH;
    }
    VARIANT* inner = arg.pvarVal;
    if (FAILED(VariantChangeType(inner, inner, 0, declared & VT_TYPEMASK))) {
        return DISP_E_TYPEMISMATCH;
    }
    out->vt = declared;
    // Every member of the value union starts at the same address.
    out->byref = &inner->lVal;
    return S_OK;
}

HRESULT CoerceValue(VARTYPE declared, const VARIANTARG& arg, VARIANTARG* out) {
    if ((arg.vt & VT_BYREF) != 0 && arg.byref == nullptr) {
        return E_POINTER;
    }
    VARIANT value;
    VariantInit(&value);
    HRESULT hr = VariantCopyInd(&value, const_cast<VARIANTARG*>(&arg));
    if (SUCCEEDED(hr)) {
        hr = VariantChangeType(out, &value, 0, declared);
    }
    VariantClear(&value);
    return SUCCEEDED(hr) ? S_OK : DISP_E_TYPEMISMATCH;
}
} // namespace

CoercedArguments::CoercedArguments() : params_{values_, nullptr, 0, 0} {
    for (VARIANTARG& value : values_) {
        VariantInit(&value);
    }
}

// References into the caller's variables are only copies of pointers, which
// VariantClear leaves alone.
CoercedArguments::~CoercedArguments() {
    for (VARIANTARG& value : values_) {
        VariantClear(&value);
    }
}

void SetStrictArguments(bool strict) {
    InterlockedExchange(&strictArguments, strict ? 1 : 0);
}

bool StrictArguments() {
    return InterlockedCompareExchange(&strictArguments, 0, 0) != 0;
}

HRESULT CheckArguments(const ServerMember& member, const DISPPARAMS& params, UINT* argError) {
    const HRESULT hr = CheckShape(member, params);
    if (FAILED(hr)) {
        return hr;
    }
    for (UINT i = 0; i < member.argCount; ++i) {
        // DISPPARAMS lists the arguments last first.
        const UINT position = params.cArgs - 1 - i;
        const VARIANTARG& arg = params.rgvarg[position];
        const bool typeMatches = arg.vt == member.argTypes[i];
        if (!typeMatches || ((arg.vt & VT_BYREF) != 0 && arg.byref == nullptr)) {
            return Refuse(typeMatches ? E_POINTER : DISP_E_TYPEMISMATCH, position, argError);
        }
    }
    return S_OK;
}

HRESULT CoerceArguments(const ServerMember& member, const DISPPARAMS& params, CoercedArguments* out,
                        UINT* argError) {
    HRESULT hr = CheckShape(member, params);
    if (FAILED(hr)) {
        return hr;
    }
    for (UINT i = 0; i < member.argCount; ++i) {
        const UINT position = params.cArgs - 1 - i;
        const VARTYPE declared = member.argTypes[i];
        const VARIANTARG& arg = params.rgvarg[position];
        VARIANTARG* value = &out->values_[position];
        hr = (declared & VT_BYREF) != 0 ? CoerceReference(declared, arg, value)
                                        : CoerceValue(declared, arg, value);
        if (FAILED(hr)) {
            return Refuse(hr, position, argError);
        }
    }
    out->params_.cArgs = params.cArgs;
    return S_OK;
}
