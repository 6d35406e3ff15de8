#include "core/dispatch_call.h"
#include "core/diagnostic_trace.h"
#include "core/dispatch_trace.h"
#include "core/outgoing_calls.h"
#include <oleauto.h>

namespace {
// Out of line, with what it needs to clear, so that the call's own path stays
// short.
[[noreturn]] __attribute__((noinline, cold)) void Fail(HRESULT hr, VARIANT* result = nullptr) {
    if (result != nullptr) {
        VariantClear(result);
    }
    throw DispatchFailure{hr};
}

// A get's result that is not in the type asked for, cleared on every path.
class ResultToConvert {
  public:
    explicit ResultToConvert(VARIANT& value) : value_(value) {}
    ~ResultToConvert() { VariantClear(&value_); }
    ResultToConvert(const ResultToConvert&) = delete;
    ResultToConvert& operator=(const ResultToConvert&) = delete;

    // A get that succeeded without a value: converting it would make up a 0
    // (a position, a travel, a wheel's count) that the server never gave.
    void RequireValue() const {
        if (value_.vt == VT_EMPTY) {
            throw DispatchFailure{DISP_E_TYPEMISMATCH};
        }
    }

    const VARIANT& ChangeTo(VARTYPE type) {
        const HRESULT hr = VariantChangeType(&value_, &value_, 0, type);
        if (FAILED(hr)) {
            throw DispatchFailure{hr};
        }
        return value_;
    }

  private:
    VARIANT& value_;
};
} // namespace

void CallServer(IDispatch* target, const ServerMember& member, VARIANTARG* argsLastFirst,
                UINT count, VARIANT* result) {
    if (target == nullptr) {
        Fail(E_POINTER);
    }
    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS params{};
    params.rgvarg = count > 0 ? argsLastFirst : nullptr;
    params.cArgs = count;
    if (member.kind == CallKind::PropertyPut) {
        params.rgdispidNamedArgs = &putId;
        params.cNamedArgs = 1;
    }
    HRESULT hr;
    {
        const OutgoingCall call;
        // With the trace off the call passes no exception record: the HRESULT
        // is all the driver acts on. The traced call keeps one to record, and
        // times the call.
        if (DiagnosticTrace.mode == TraceMode::Off) {
            UINT argError = 0;
            hr = target->Invoke(member.dispid, IID_NULL, LOCALE_USER_DEFAULT,
                                DispatchFlags(member.kind), &params, result, nullptr, &argError);
        } else {
            hr = InvokeTraced(target, member, params, result);
        }
    }
    if (FAILED(hr)) {
        Fail(hr, result);
    }
}

// The answer is taken from the argument, so that the caller's variable holds
// it in its own type as with any other server.
void StoreAnswerInPlace(VARTYPE type, void* variable, VARIANTARG& received) {
    VARIANT value;
    value.vt = VT_EMPTY;
    const HRESULT hr = VariantChangeType(&value, &received, 0, type);
    VariantClear(&received);
    if (FAILED(hr)) {
        Fail(hr);
    }
    switch (type) {
    case VT_I4:
        *static_cast<LONG*>(variable) = value.lVal;
        break;
    case VT_R8:
        *static_cast<double*>(variable) = value.dblVal;
        break;
    case VT_BSTR:
        SysFreeString(*static_cast<BSTR*>(variable));
        *static_cast<BSTR*>(variable) = value.bstrVal;
        break;
    default:
        VariantClear(&value);
        Fail(DISP_E_TYPEMISMATCH);
    }
}

double ConvertedR8(VARIANT& result) {
    ResultToConvert value(result);
    value.RequireValue();
    return value.ChangeTo(VT_R8).dblVal;
}

float ConvertedR4(VARIANT& result) {
    ResultToConvert value(result);
    return value.ChangeTo(VT_R4).fltVal;
}

SHORT ConvertedI2(VARIANT& result) {
    ResultToConvert value(result);
    value.RequireValue();
    return value.ChangeTo(VT_I2).iVal;
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
