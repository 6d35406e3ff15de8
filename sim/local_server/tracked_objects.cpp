#include "sim/local_server/tracked_objects.h"
#include <objbase.h>
#include <algorithm>
#include <new>
#include <vector>

namespace {
class TrackedObject;

// Only the server's one apartment thread makes, calls and releases these
// objects, so the list needs no lock.
std::vector<TrackedObject*> liveObjects;

// Forwards every call to the object it wraps. AddRef and Release go to the
// object too: the reference counts and the accounting built on them see
// exactly the references the clients hold.
class TrackedObject final : public IDispatch {
  public:
    explicit TrackedObject(IDispatch* inner) : inner_(inner) { liveObjects.push_back(this); }
    ~TrackedObject() {
        liveObjects.erase(std::remove(liveObjects.begin(), liveObjects.end(), this),
                          liveObjects.end());
    }
    TrackedObject(const TrackedObject&) = delete;
    TrackedObject& operator=(const TrackedObject&) = delete;

    // The shell is the object's identity: COM keys its stubs on the IUnknown
    // it gets here, which is what CoDisconnectObject is later given.
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

    ULONG STDMETHODCALLTYPE AddRef() override { return inner_->AddRef(); }

    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = inner_->Release();
        if (left == 0) {
            delete this;
        }
        return left;
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        return inner_->GetTypeInfoCount(count);
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
        return inner_->GetTypeInfo(index, locale, info);
    }

    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override {
        return inner_->GetIDsOfNames(riid, names, count, locale, ids);
    }

    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID riid, LCID locale, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argError) override {
        return inner_->Invoke(dispid, riid, locale, flags, params, result, exception, argError);
    }

  private:
    IDispatch* const inner_; // its reference is the shell's, given back by the last Release
};

// Takes over the one reference of the object `create` makes.
HRESULT CreateTracked(HRESULT (*create)(IDispatch**), IDispatch** out) {
    if (out == nullptr) {
        return E_POINTER;
    }
    *out = nullptr;
    IDispatch* inner = nullptr;
    const HRESULT hr = create(&inner);
    if (FAILED(hr)) {
        return hr;
    }
    TrackedObject* shell = new (std::nothrow) TrackedObject(inner);
    if (shell == nullptr) {
        inner->Release();
        return E_OUTOFMEMORY;
    }
    *out = shell;
    return S_OK;
}

HRESULT CreateTrackedScan(IDispatch** out) {
    return CreateTracked(&CreateScanObject, out);
}
HRESULT CreateTrackedStage(IDispatch** out) {
    return CreateTracked(&CreateStageObject, out);
}
HRESULT CreateTrackedFocus(IDispatch** out) {
    return CreateTracked(&CreateFocusObject, out);
}
HRESULT CreateTrackedFilter(IDispatch** out) {
    return CreateTracked(&CreateFilterObject, out);
}

HRESULT (*TrackedCreator(int kind))(IDispatch**) {
    switch (kind) {
    case SimScan:
        return &CreateTrackedScan;
    case SimStage:
        return &CreateTrackedStage;
    case SimFocus:
        return &CreateTrackedFocus;
    case SimFilter:
        return &CreateTrackedFilter;
    default:
        return nullptr;
    }
}

// The class table's rows with the tracked creators; the class objects keep
// references to these rows for as long as the server runs.
struct TrackedTable {
    TrackedTable() {
        count = 0;
        for (int i = 0; i < ServerClassCount() && i < kMaxClasses; ++i) {
            rows[count] = ServerClasses()[i];
            rows[count].create = TrackedCreator(rows[count].kind);
            if (rows[count].create != nullptr) {
                ++count;
            }
        }
    }
    static constexpr int kMaxClasses = 8;
    ServerClass rows[kMaxClasses] = {};
    int count;
};

const TrackedTable& Table() {
    static const TrackedTable table;
    return table;
}
} // namespace

const ServerClass* TrackedClasses() {
    return Table().rows;
}

int TrackedClassCount() {
    return Table().count;
}

const ServerClass* FindTrackedClassByKind(int kind) {
    for (int i = 0; i < TrackedClassCount(); ++i) {
        if (TrackedClasses()[i].kind == kind) {
            return &TrackedClasses()[i];
        }
    }
    return nullptr;
}

LONG DisconnectTrackedObjects(HRESULT* failure) {
    *failure = S_OK;
    // Held while COM lets go of them: an object whose last reference was its
    // stub's must not go, and leave the list, in the middle of the walk.
    const std::vector<TrackedObject*> held = liveObjects;
    for (TrackedObject* object : held) {
        object->AddRef();
    }
    LONG disconnected = 0;
    for (TrackedObject* object : held) {
        const HRESULT hr = CoDisconnectObject(object, 0);
        if (SUCCEEDED(hr)) {
            ++disconnected;
        } else if (*failure == S_OK) {
            *failure = hr;
        }
    }
    for (TrackedObject* object : held) {
        object->Release();
    }
    return disconnected;
}
