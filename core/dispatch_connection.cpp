#include "core/dispatch_connection.h"
#include "core/dispatch_trace.h"
#include "core/outgoing_calls.h"
#include <oleauto.h>

using Microsoft::WRL::ComPtr;

namespace {
ComPtr<IDispatch> RunningInstance(const CLSID& clsid) {
    const OutgoingCall call;
    ComPtr<IUnknown> unknown;
    ComPtr<IDispatch> dispatch;
    if (SUCCEEDED(GetActiveObject(clsid, nullptr, &unknown)) && unknown) {
        unknown.As(&dispatch);
    }
    return dispatch;
}

// `hr` tells why no object came: the creation, OleRun or the interface.
ComPtr<IDispatch> NewInstance(const CLSID& clsid, HRESULT& hr) {
    const OutgoingCall call;
    ComPtr<IUnknown> unknown;
    hr = CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_IUnknown, &unknown);
    if (hr == E_INVALIDARG) {
        hr = CoCreateInstance(clsid, nullptr,
                              CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER,
                              IID_IUnknown, &unknown);
    }
    ComPtr<IDispatch> dispatch;
    if (SUCCEEDED(hr) && unknown) {
        hr = OleRun(unknown.Get());
        if (SUCCEEDED(hr)) {
            hr = unknown.As(&dispatch);
        }
    }
    return dispatch;
}

// COM's proxy answers IClientSecurity itself; an object in the caller's own
// apartment does not have it.
bool IsProxyObject(IDispatch* dispatch) {
    ComPtr<IClientSecurity> security;
    return SUCCEEDED(dispatch->QueryInterface(IID_PPV_ARGS(&security)));
}
} // namespace

DispatchConnection& DispatchConnection::operator=(DispatchConnection&& other) noexcept {
    // MinGW's ComPtr adds a reference on a move assignment and on Attach; a
    // swap hands the pointer over as it is.
    dispatch_.Reset();
    dispatch_.Swap(other.dispatch_);
    proxy_ = other.proxy_;
    other.proxy_ = false;
    return *this;
}

BindResult DispatchConnection::Bind(const wchar_t* progId) {
    Empty();
    CLSID clsid;
    const HRESULT found = CLSIDFromProgID(progId, &clsid);
    if (FAILED(found)) {
        TraceBinding(progId, "no such class", found);
        return BindResult::NoClass;
    }
    dispatch_ = RunningInstance(clsid);
    if (dispatch_) {
        TraceBinding(progId, "running instance", S_OK);
    } else {
        HRESULT created = S_OK;
        dispatch_ = NewInstance(clsid, created);
        TraceBinding(progId, IsBound() ? "new instance" : "not created", created);
    }
    proxy_ = IsBound() && IsProxyObject(dispatch_.Get());
    return IsBound() ? BindResult::Bound : BindResult::NotCreated;
}
