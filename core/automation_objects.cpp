#include "core/automation_objects.h"
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

ComPtr<IDispatch> NewInstance(const CLSID& clsid) {
    ComPtr<IUnknown> unknown;
    HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_IUnknown, &unknown);
    if (hr == E_INVALIDARG) {
        hr = CoCreateInstance(clsid, nullptr,
                              CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER,
                              IID_IUnknown, &unknown);
    }
    ComPtr<IDispatch> dispatch;
    if (SUCCEEDED(hr) && unknown && SUCCEEDED(OleRun(unknown.Get()))) {
        unknown.As(&dispatch);
    }
    return dispatch;
}
} // namespace

BindResult DispatchConnection::Bind(const wchar_t* progId) {
    dispatch_.Reset();
    CLSID clsid;
    if (FAILED(CLSIDFromProgID(progId, &clsid))) {
        return BindResult::NoClass;
    }
    dispatch_ = RunningInstance(clsid);
    if (!dispatch_) {
        dispatch_ = NewInstance(clsid);
    }
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
