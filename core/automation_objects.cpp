#include "core/automation_objects.h"
#include "core/dispatch_trace.h"
#include <oleauto.h>

using Microsoft::WRL::ComPtr;

DispatchConnection ScanObject;
DispatchConnection StageObject;
DispatchConnection FocusObject;
DispatchConnection FilterObject;

namespace {
ComPtr<IDispatch> RunningInstance(const CLSID& clsid) {
    ComPtr<IUnknown> unknown;
    ComPtr<IDispatch> dispatch;
    if (SUCCEEDED(GetActiveObject(clsid, nullptr, &unknown)) && unknown) {
        unknown.As(&dispatch);
    }
    return dispatch;
}

// `hr` tells why no object came: the creation, OleRun or the interface.
ComPtr<IDispatch> NewInstance(const CLSID& clsid, HRESULT& hr) {
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
} // namespace

BindResult DispatchConnection::Bind(const wchar_t* progId) {
    dispatch_.Reset();
    CLSID clsid;
    const HRESULT found = CLSIDFromProgID(progId, &clsid);
    if (FAILED(found)) {
        TraceBinding(progId, "no such class", found);
        return BindResult::NoClass;
    }
    dispatch_ = RunningInstance(clsid);
    if (dispatch_) {
        TraceBinding(progId, "running instance", S_OK);
        return BindResult::Bound;
    }
    HRESULT created = S_OK;
    dispatch_ = NewInstance(clsid, created);
    TraceBinding(progId, IsBound() ? "new instance" : "not created", created);
    return IsBound() ? BindResult::Bound : BindResult::NotCreated;
}

void EmptyAllConnections() {
    ScanObject.Empty();
    StageObject.Empty();
    FocusObject.Empty();
    FilterObject.Empty();
}

void AbandonAllConnections() {
    ScanObject.Abandon();
    StageObject.Abandon();
    FocusObject.Abandon();
    FilterObject.Abandon();
}
