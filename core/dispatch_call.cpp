#include "core/dispatch_call.h"
#include "core/diagnostic_trace.h"
#include "core/dispatch_trace.h"
#include "core/outgoing_calls.h"
#include <oleauto.h>

namespace {
constexpr UINT kMaxArgs = 8;

// Whether clearing a variant of type `vt` gives something back. Every other
// type is cleared by forgetting its value, so the call into oleaut32, dearer
// than a small server's whole answer, is left out for them.
bool HoldsResources(VARTYPE vt) {
    if ((vt & VT_BYREF) != 0) {
        return false;
    }
    if ((vt & VT_ARRAY) != 0) {
        return true;
    }
    const VARTYPE base = vt & VT_TYPEMASK;
    return base == VT_BSTR || base == VT_DISPATCH || base == VT_UNKNOWN || base == VT_RECORD;
}

// A result variant that is cleared on every path.
class ResultVariant {
  public:
    ResultVariant() { value_.vt = VT_EMPTY; }
    ~ResultVariant() {
        if (HoldsResources(value_.vt)) {
            VariantClear(&value_);
        }
    }
    ResultVariant(const ResultVariant&) = delete;
    ResultVariant& operator=(const ResultVariant&) = delete;
    VARIANT* get() { return &value_; }

    // A get that succeeded without a value: converting it would make up a 0
    // (a position, a travel, a wheel's count) that the server never gave.
    void RequireValue() const {
        if (value_.vt == VT_EMPTY) {
            throw DispatchFailure{DISP_E_TYPEMISMATCH};
        }
    }

    // A server answering in the type asked for, as the controller's do, needs
    // no conversion: VariantChangeType would only copy the value.
    void ChangeTo(VARTYPE type) {
        if (value_.vt == type) {
            return;
        }
        const HRESULT hr = VariantChangeType(&value_, &value_, 0, type);
        if (FAILED(hr)) {
            throw DispatchFailure{hr};
        }
    }

  private:
    VARIANT value_;
};

// Stores `answer` in the caller's variable that `sent` refers to, converted to
// the variable's type.
void StoreAnswer(const VARIANTARG& sent, VARIANTARG& answer) {
    const VARTYPE type = sent.vt & ~VT_BYREF;
    VARIANT value;
    value.vt = VT_EMPTY;
    const HRESULT hr = VariantChangeType(&value, &answer, 0, type);
    if (HoldsResources(answer.vt)) {
        VariantClear(&answer);
    }
    if (FAILED(hr)) {
        throw DispatchFailure{hr};
    }
    switch (type) {
    case VT_I4:
        *sent.plVal = value.lVal;
        break;
    case VT_R8:
        *sent.pdblVal = value.dblVal;
        break;
    case VT_BSTR:
        SysFreeString(*sent.pbstrVal);
        *sent.pbstrVal = value.bstrVal;
        break;
    default:
        VariantClear(&value);
        throw DispatchFailure{DISP_E_TYPEMISMATCH};
    }
}

// A server may answer a by-reference argument in the argument itself, in a
// type of its own, instead of through the reference: servers that convert
// their arguments in place do, and the marshaller then hands the caller the
// converted argument. The answer is taken from there, so that the caller's
// variable holds it in its own type as with any other server.
// `received` lists the arguments last first, as DISPPARAMS does. Out of line,
// and only for calls that pass a reference: the others' path stays short.
__attribute__((noinline)) void TakeAnswersInPlace(std::initializer_list<VARIANTARG> sent,
                                                  VARIANTARG* received) {
    const VARIANTARG* arg = sent.end();
    for (UINT i = 0; arg != sent.begin(); ++i) {
        --arg;
        if ((arg->vt & VT_BYREF) != 0 &&
            (received[i].vt != arg->vt || received[i].byref != arg->byref)) {
            StoreAnswer(*arg, received[i]);
        }
    }
}

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
    VARTYPE references = 0;
    for (auto it = args.end(); it != args.begin();) {
        --it;
        references |= it->vt;
        reversed[count++] = *it;
    }
    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS params{};
    params.rgvarg = count > 0 ? reversed : nullptr;
    params.cArgs = count;
    if (kind == DISPATCH_PROPERTYPUT) {
        params.rgdispidNamedArgs = &putId;
        params.cNamedArgs = 1;
    }
    // Cleared field by field: as one block the size-optimised build clears
    // it with a string instruction whose start-up costs more than the rest of
    // the call.
    EXCEPINFO exception;
    exception.wCode = 0;
    exception.wReserved = 0;
    exception.bstrSource = nullptr;
    exception.bstrDescription = nullptr;
    exception.bstrHelpFile = nullptr;
    exception.dwHelpContext = 0;
    exception.pvReserved = nullptr;
    exception.pfnDeferredFillIn = nullptr;
    exception.scode = 0;
    UINT argError = 0;
    HRESULT hr;
    {
        const OutgoingCall call;
        // With the trace off the call is made here and nothing else is kept
        // across it; the traced call times and records it elsewhere.
        hr = DiagnosticTrace.mode == TraceMode::Off
                 ? target->Invoke(member.dispid, IID_NULL, LOCALE_USER_DEFAULT, kind, &params,
                                  result, &exception, &argError)
                 : InvokeTraced(target, member, kind, params, result, exception);
    }
    // Servers fill the exception's texts only when they raise one; a call that
    // succeeded has nothing to give back.
    if (exception.bstrSource != nullptr || exception.bstrDescription != nullptr ||
        exception.bstrHelpFile != nullptr) {
        SysFreeString(exception.bstrSource);
        SysFreeString(exception.bstrDescription);
        SysFreeString(exception.bstrHelpFile);
    }
    if (FAILED(hr)) {
        throw DispatchFailure{hr};
    }
    if ((references & VT_BYREF) != 0) {
        TakeAnswersInPlace(args, reversed);
    }
}
} // namespace

void CallMethod(IDispatch* target, const ServerMember& member,
                std::initializer_list<VARIANTARG> args) {
    ResultVariant result;
    Invoke(target, member, args, result.get());
}

double GetPropertyR8(IDispatch* target, const ServerMember& member) {
    ResultVariant result;
    Invoke(target, member, {}, result.get());
    result.RequireValue();
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
    result.RequireValue();
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
