#include "sim/class_factory.h"
#include "sim/controller_model.h"
#include "sim/object_accounting.h"
#include <unknwn.h>
#include <new>

namespace {
// Makes the objects of one class. Factories are not counted as objects: a
// client that keeps one across unloading checks holds a server lock.
class ClassFactory final : public IClassFactory {
  public:
    explicit ClassFactory(const ServerClass& serverClass) : class_(serverClass) {}
    ClassFactory(const ClassFactory&) = delete;
    ClassFactory& operator=(const ClassFactory&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
            *object = static_cast<IClassFactory*>(this);
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

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        *object = nullptr;
        if (outer != nullptr) {
            return CLASS_E_NOAGGREGATION;
        }
        // A registered server that cannot start answers here.
        const HRESULT fault = LockedModel()->CreationFault(class_.kind);
        if (FAILED(fault)) {
            return fault;
        }
        IDispatch* created = nullptr;
        const HRESULT hr = class_.create(&created);
        if (FAILED(hr)) {
            return hr;
        }
        const HRESULT queried = created->QueryInterface(riid, object);
        created->Release();
        return queried;
    }

    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        if (lock) {
            ServerLocked();
        } else {
            ServerUnlocked();
        }
        return S_OK;
    }

  private:
    const ServerClass& class_;
    volatile LONG references_ = 1;
};
} // namespace

HRESULT CreateClassFactory(const ServerClass& serverClass, REFIID riid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    ClassFactory* factory = new (std::nothrow) ClassFactory(serverClass);
    if (factory == nullptr) {
        return E_OUTOFMEMORY;
    }
    const HRESULT hr = factory->QueryInterface(riid, object);
    factory->Release();
    return hr;
}
