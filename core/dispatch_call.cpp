#include "core/dispatch_call.h"
#include <oleauto.h>

namespace {
constexpr UINT kMaxArgs = 8;

// A result variant that is cleared on every path.
class ResultVariant {
  public:
    ResultVariant() { VariantInit(&value_); }
    ~ResultVariant() { VariantClear(&value_); }
    ResultVariant(const ResultVariant&) = delete;
    ResultVariant& operator=(const ResultVariant&) = delete;
    VARIANT* get() { return &value_; }

    void ChangeTo(VARTYPE type) {
        const HRESULT hr = VariantChangeType(&value_, &value_, 0, type);
        if (FAILED(hr)) {
            throw DispatchFailure{hr};
        }
    }

  private:
    VARIANT value_;
};

void Invoke(IDispatch* target, const ServerMember& member, std::initializer_list<VARIANTARG> args,
            VARIANT* result) {
    const WORD kind = DispatchFlags(member.kind);
    if (target == nullptr) {
        throw DispatchFailure{E_POINTER};
    }
    if (args.size() > kMaxArgs) {
        throw DispatchFailure{DISP_E_BADPARAMCOUNT};
    }
    // DISPPARAMS lists the arguments last first.
    VARIANTARG reversed[kMaxArgs];
    UINT count = 0;
    for (auto it = args.end(); it != args.begin();) {
        reversed[count++] = *--it;
    }
    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS params{};
    params.rgvarg = count > 0 ? reversed : nullptr;
    params.cArgs = count;
    if (kind == DISPATCH_PROPERTYPUT) {
        params.rgdispidNamedArgs = &putId;
        params.cNamedArgs = 1;
    }
    EXCEPINFO exception{};
    UINT argError = 0;
    const HRESULT hr = target->Invoke(member.dispid, IID_NULL, LOCALE_USER_DEFAULT, kind, &params,
                                      result, &exception, &argError);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    if (FAILED(hr)) {
        throw DispatchFailure{hr};
    }
}
} // namespace

VARIANTARG ArgR8(double value) {
    VARIANTARG v;
    VariantInit(&v);
    v.vt = VT_R8;
    v.dblVal = value;
    return v;
}

VARIANTARG ArgI4(LONG value) {
    VARIANTARG v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

VARIANTARG RefI4(LONG* variable) {
    VARIANTARG v;
    VariantInit(&v);
    v.vt = VT_I4 | VT_BYREF;
    v.plVal = variable;
    return v;
}

VARIANTARG RefR8(double* variable) {
    VARIANTARG v;
    VariantInit(&v);
    v.vt = VT_R8 | VT_BYREF;
    v.pdblVal = variable;
    return v;
}

VARIANTARG RefBstr(BSTR* variable) {
    VARIANTARG v;
    VariantInit(&v);
    v.vt = VT_BSTR | VT_BYREF;
    v.pbstrVal = variable;
    return v;
}

void CallMethod(IDispatch* target, const ServerMember& member,
                std::initializer_list<VARIANTARG> args) {
    ResultVariant result;
    Invoke(target, member, args, result.get());
}

double GetPropertyR8(IDispatch* target, const ServerMember& member) {
    ResultVariant result;
    Invoke(target, member, {}, result.get());
    result.ChangeTo(VT_R8);
    return result.get()->dblVal;
}

float GetPropertyR4(IDispatch* target, const ServerMember& member) {
    ResultVariant result;
    Invoke(target, member, {}, result.get());
    result.ChangeTo(VT_R4);
    return result.get()->fltVal;
}

SHORT GetIndexedPropertyI2(IDispatch* target, const ServerMember& member, LONG index) {
    ResultVariant result;
    Invoke(target, member, {ArgI4(index)}, result.get());
    result.ChangeTo(VT_I2);
    return result.get()->iVal;
}

void PutPropertyR8(IDispatch* target, const ServerMember& member, double value) {
    Invoke(target, member, {ArgR8(value)}, nullptr);
}

bool IsServerGone(HRESULT result) {
    switch (result) {
    case RPC_E_DISCONNECTED:
    case RPC_E_SERVER_DIED:
    case RPC_E_SERVER_DIED_DNE:
    case CO_E_OBJNOTCONNECTED:
    case HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE):
    case HRESULT_FROM_WIN32(RPC_S_CALL_FAILED):
        return true;
    default:
        return false;
    }
}
