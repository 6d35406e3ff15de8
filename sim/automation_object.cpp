#include "sim/automation_object.h"
#include "sim/class_table.h"
#include "sim/member_check.h"
#include "sim/object_accounting.h"
#include "sim/server_variant.h"
#include "sim/type_library.h"
#include <oleauto.h>
#include <cstring>
#include <cwctype>
#include <new>
#include <string>

namespace {
constexpr UINT kJournalArgs = sizeof(SimCall::argType) / sizeof(SimCall::argType[0]);
// The error an EXCEPINFO of an injected DISP_E_EXCEPTION carries.
constexpr SCODE kExceptionCode = E_FAIL;

template <typename T> double Pick(bool byRef, const T* pointer, T value) {
    return static_cast<double>(byRef ? *pointer : value);
}

// The argument's value on entry as a number; a BSTR counts by its byte length.
double NumericValue(const VARIANTARG& arg) {
    const bool byRef = (arg.vt & VT_BYREF) != 0;
    if ((arg.vt & VT_ARRAY) != 0 || (byRef && arg.byref == nullptr)) {
        return 0.0;
    }
    switch (arg.vt & VT_TYPEMASK) {
    case VT_I1:
        return Pick(byRef, arg.pcVal, arg.cVal);
    case VT_UI1:
        return Pick(byRef, arg.pbVal, arg.bVal);
    case VT_I2:
        return Pick(byRef, arg.piVal, arg.iVal);
    case VT_UI2:
        return Pick(byRef, arg.puiVal, arg.uiVal);
    case VT_I4:
        return Pick(byRef, arg.plVal, arg.lVal);
    case VT_UI4:
        return Pick(byRef, arg.pulVal, arg.ulVal);
    case VT_INT:
        return Pick(byRef, arg.pintVal, arg.intVal);
    case VT_UINT:
        return Pick(byRef, arg.puintVal, arg.uintVal);
    case VT_I8:
        return Pick(byRef, arg.pllVal, arg.llVal);
    case VT_UI8:
        return Pick(byRef, arg.pullVal, arg.ullVal);
    case VT_R4:
        return Pick(byRef, arg.pfltVal, arg.fltVal);
    case VT_R8:
        return Pick(byRef, arg.pdblVal, arg.dblVal);
    case VT_BOOL:
        return Pick(byRef, arg.pboolVal, arg.boolVal);
    case VT_DATE:
        return Pick(byRef, arg.pdate, arg.date);
    case VT_BSTR:
        return SysStringByteLen(byRef ? *arg.pbstrVal : arg.bstrVal);
    default:
        return 0.0;
    }
}

// Automation names compare without regard to letter case.
bool NameMatches(const wchar_t* wanted, const char* name) {
    for (; *wanted != L'\0' && *name != '\0'; ++wanted, ++name) {
        if (towlower(*wanted) != towlower(static_cast<unsigned char>(*name))) {
            return false;
        }
    }
    return *wanted == L'\0' && *name == '\0';
}

bool IsBstr(const VARIANTARG& arg) {
    return arg.vt == VT_BSTR || (arg.vt == (VT_BSTR | VT_BYREF) && arg.pbstrVal != nullptr);
}

void CopyText(const VARIANTARG& arg, char (&text)[sizeof(SimCall::text)]) {
    const BSTR value = arg.vt == VT_BSTR ? arg.bstrVal : *arg.pbstrVal;
    UINT length = SysStringByteLen(value);
    if (length > sizeof(text) - 1) {
        length = sizeof(text) - 1;
    }
    if (length > 0) {
        std::memcpy(text, value, length);
    }
    text[length] = '\0';
}

class AutomationObject final : public IDispatch {
  public:
    explicit AutomationObject(const ObjectInterface& objectInterface)
        : interface_(objectInterface) {
        ObjectCreated();
        ReferenceAdded();
    }
    ~AutomationObject() { ObjectDestroyed(); }
    AutomationObject(const AutomationObject&) = delete;
    AutomationObject& operator=(const AutomationObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch)) {
            *object = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }

    ULONG STDMETHODCALLTYPE AddRef() override {
        ReferenceAdded();
        return static_cast<ULONG>(InterlockedIncrement(&references_));
    }

    ULONG STDMETHODCALLTYPE Release() override {
        ReferenceReleased();
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) {
            delete this;
        }
        return static_cast<ULONG>(left);
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count == nullptr) {
            return E_POINTER;
        }
        ITypeInfo* info = nullptr;
        *count =
            VariantOffersTypeInfo() && SUCCEEDED(ObjectTypeInfo(interface_.kind, &info)) ? 1 : 0;
        if (info != nullptr) {
            info->Release();
        }
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
        if (info == nullptr) {
            return E_POINTER;
        }
        *info = nullptr;
        if (!VariantOffersTypeInfo()) {
            return E_NOTIMPL;
        }
        return index == 0 ? ObjectTypeInfo(interface_.kind, info) : DISP_E_BADINDEX;
    }

    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID riid, LCID, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argError) override;

  private:
    SimCall Describe(DISPID dispid, WORD flags, const DISPPARAMS* params) const;
    HRESULT Dispatch(ControllerModel& model, DISPID dispid, REFIID riid, WORD flags,
                     const DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                     UINT* argError) const;
    const MemberEntry* FindMember(DISPID dispid, WORD flags) const;
    void DescribeException(DISPID dispid, WORD flags, EXCEPINFO* exception) const;

    const ObjectInterface& interface_;
    volatile LONG references_ = 1;
};

HRESULT AutomationObject::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID,
                                        DISPID* ids) {
    if (!IsEqualIID(riid, IID_NULL)) {
        return DISP_E_UNKNOWNINTERFACE;
    }
    if (names == nullptr || ids == nullptr || count == 0) {
        return E_INVALIDARG;
    }
    ids[0] = DISPID_UNKNOWN;
    for (UINT i = 0; i < interface_.memberCount && names[0] != nullptr; ++i) {
        if (NameMatches(names[0], interface_.members[i].member->name)) {
            ids[0] = interface_.members[i].member->dispid;
            break;
        }
    }
    // No member has named parameters.
    for (UINT i = 1; i < count; ++i) {
        ids[i] = DISPID_UNKNOWN;
    }
    return ids[0] != DISPID_UNKNOWN && count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
}

HRESULT AutomationObject::Invoke(DISPID dispid, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                                 VARIANT* result, EXCEPINFO* exception, UINT* argError) {
    // Without the model's lock, so that a slow member holds up only its caller.
    const DWORD delay = LockedModel()->AnswerDelay(interface_.kind, dispid);
    if (delay != 0) {
        Sleep(delay);
    }
    LockedModel model;
    SimCall call = Describe(dispid, flags, params);
    call.resultAsked = result != nullptr;
    call.exceptionAsked = exception != nullptr;
    call.result = Dispatch(*model, dispid, riid, flags, params, result, exception, argError);
    model->Record(call);
    return call.result;
}

SimCall AutomationObject::Describe(DISPID dispid, WORD flags, const DISPPARAMS* params) const {
    SimCall call{};
    call.object = interface_.kind;
    call.dispid = dispid;
    call.kind = flags;
    if (params == nullptr || (params->cArgs > 0 && params->rgvarg == nullptr)) {
        return call;
    }
    call.argCount = static_cast<int>(params->cArgs);
    bool haveText = false;
    for (UINT i = 0; i < params->cArgs && i < kJournalArgs; ++i) {
        const VARIANTARG& arg = params->rgvarg[params->cArgs - 1 - i];
        call.argType[i] = arg.vt;
        call.argValue[i] = NumericValue(arg);
        if (!haveText && IsBstr(arg)) {
            CopyText(arg, call.text);
            haveText = true;
        }
    }
    return call;
}

HRESULT AutomationObject::Dispatch(ControllerModel& model, DISPID dispid, REFIID riid, WORD flags,
                                   const DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                   UINT* argError) const {
    if (!IsEqualIID(riid, IID_NULL)) {
        return DISP_E_UNKNOWNINTERFACE;
    }
    if (params == nullptr || (params->cArgs > 0 && params->rgvarg == nullptr) ||
        (params->cNamedArgs > 0 && params->rgdispidNamedArgs == nullptr)) {
        return E_INVALIDARG;
    }
    const MemberEntry* entry = FindMember(dispid, flags);
    HRESULT fault = model.FaultFor(interface_.kind, dispid);
    if (fault == S_OK && entry != nullptr && VariantRefuses(interface_.kind, *entry->member)) {
        fault = DISP_E_EXCEPTION;
    }
    if (fault != S_OK) {
        if (fault == DISP_E_EXCEPTION) {
            DescribeException(dispid, flags, exception);
        }
        return fault;
    }
    if (entry == nullptr || VariantLacks(interface_.kind, *entry->member)) {
        return DISP_E_MEMBERNOTFOUND;
    }
    const ServerMember* member = entry->member;
    const bool strict = StrictArguments();
    CoercedArguments coerced;
    HRESULT hr = strict ? CheckArguments(*member, *params, argError)
                        : CoerceArguments(*member, *params, &coerced, argError);
    if (FAILED(hr)) {
        return hr;
    }
    VARIANT value;
    VariantInit(&value);
    hr = CallMemberHandler(interface_.kind, *entry, model, *params,
                           strict ? *params : coerced.params(), &value);
    if (FAILED(hr)) {
        VariantClear(&value);
        return hr;
    }
    if (member->kind == CallKind::Method) {
        VariantClear(&value);
        value.vt = VT_I4;
        value.lVal = 0;
    }
    hr = AnswerInVariantType(interface_.kind, *member, &value);
    if (FAILED(hr)) {
        VariantClear(&value);
        return hr;
    }
    if (result != nullptr) {
        VariantInit(result);
        *result = value;
    } else {
        VariantClear(&value);
    }
    return S_OK;
}

const MemberEntry* AutomationObject::FindMember(DISPID dispid, WORD flags) const {
    for (UINT i = 0; i < interface_.memberCount; ++i) {
        const MemberEntry& entry = interface_.members[i];
        if (MemberAccepts(*entry.member, dispid, flags)) {
            return &entry;
        }
    }
    return nullptr;
}

// A server that answers DISP_E_EXCEPTION says what went wrong in the caller's
// EXCEPINFO; the caller frees the strings.
void AutomationObject::DescribeException(DISPID dispid, WORD flags, EXCEPINFO* exception) const {
    if (exception == nullptr) {
        return;
    }
    *exception = EXCEPINFO{};
    exception->scode = kExceptionCode;
    const ServerClass* serverClass = FindClassByKind(interface_.kind);
    exception->bstrSource = SysAllocString(serverClass != nullptr ? serverClass->progId : L"");
    const MemberEntry* entry = FindMember(dispid, flags);
    std::wstring description = L"The controller refused ";
    if (entry != nullptr) {
        for (const char* letter = entry->member->name; *letter != '\0'; ++letter) {
            description += static_cast<wchar_t>(*letter);
        }
    } else {
        description += L"member " + std::to_wstring(dispid);
    }
    description += L" (simulated failure).";
    exception->bstrDescription = SysAllocString(description.c_str());
}
} // namespace

HRESULT CreateAutomationObject(const ObjectInterface& objectInterface, IDispatch** out) {
    if (out == nullptr) {
        return E_POINTER;
    }
    *out = new (std::nothrow) AutomationObject(objectInterface);
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}
