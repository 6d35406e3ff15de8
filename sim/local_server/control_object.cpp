#include "sim/local_server/control_object.h"
#include "sim/member_check.h"
#include "sim/object_accounting.h"
#include <oleauto.h>
#include <new>
#include <string>

namespace {
// Automation names compare without regard to letter case.
bool NameMatches(const wchar_t* wanted, const char* name) {
    const std::wstring wide(name, name + std::char_traits<char>::length(name));
    return CompareStringOrdinal(wanted, -1, wide.c_str(), -1, TRUE) == CSTR_EQUAL;
}

const ControlEntry* FindEntry(DISPID dispid, WORD flags) {
    for (UINT i = 0; i < ControlEntryCount(); ++i) {
        if (MemberAccepts(*ControlEntries()[i].member, dispid, flags)) {
            return &ControlEntries()[i];
        }
    }
    return nullptr;
}

class ControlObject final : public IDispatch {
  public:
    ControlObject() { ServerLocked(); }
    ~ControlObject() { ServerUnlocked(); }
    ControlObject(const ControlObject&) = delete;
    ControlObject& operator=(const ControlObject&) = delete;

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
        return static_cast<ULONG>(InterlockedIncrement(&references_));
    }

    ULONG STDMETHODCALLTYPE Release() override {
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
        *count = 0;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info != nullptr) {
            *info = nullptr;
        }
        return E_NOTIMPL;
    }

    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override {
        if (!IsEqualIID(riid, IID_NULL)) {
            return DISP_E_UNKNOWNINTERFACE;
        }
        if (names == nullptr || ids == nullptr || count == 0) {
            return E_INVALIDARG;
        }
        for (UINT i = 0; i < count; ++i) {
            ids[i] = DISPID_UNKNOWN;
        }
        for (UINT i = 0; i < ControlEntryCount() && names[0] != nullptr; ++i) {
            if (NameMatches(names[0], ControlEntries()[i].member->name)) {
                ids[0] = ControlEntries()[i].member->dispid;
                break;
            }
        }
        // No member has named parameters.
        return ids[0] != DISPID_UNKNOWN && count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
    }

    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID riid, LCID, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                                     UINT* argError) override {
        if (!IsEqualIID(riid, IID_NULL)) {
            return DISP_E_UNKNOWNINTERFACE;
        }
        if (params == nullptr || (params->cArgs > 0 && params->rgvarg == nullptr) ||
            (params->cNamedArgs > 0 && params->rgdispidNamedArgs == nullptr)) {
            return E_INVALIDARG;
        }
        const ControlEntry* entry = FindEntry(dispid, flags);
        if (entry == nullptr) {
            return DISP_E_MEMBERNOTFOUND;
        }
        HRESULT hr = CheckArguments(*entry->member, *params, argError);
        if (FAILED(hr)) {
            return hr;
        }
        VARIANT value;
        VariantInit(&value);
        hr = entry->handler(Arguments(*params), &value);
        if (SUCCEEDED(hr) && result != nullptr) {
            *result = value;
        } else {
            VariantClear(&value);
        }
        return hr;
    }

  private:
    volatile LONG references_ = 1;
};
} // namespace

HRESULT CreateControlObject(IDispatch** out) {
    if (out == nullptr) {
        return E_POINTER;
    }
    *out = new (std::nothrow) ControlObject();
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}
