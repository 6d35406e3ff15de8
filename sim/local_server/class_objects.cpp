#include "sim/local_server/class_objects.h"
#include "sim/local_server/control_members.h"
#include "sim/local_server/control_object.h"
#include "sim/local_server/tracked_objects.h"
#include "sim/class_factory.h"
#include <objbase.h>
#include <vector>

namespace {
const ServerClass kControlClass = {kNoObjectKind, ControlMember::kProgId, &ControlMember::kClassId,
                                   &CreateControlObject};

std::vector<DWORD> cookies;

HRESULT Offer(const ServerClass& serverClass) {
    IUnknown* factory = nullptr;
    HRESULT hr = CreateClassFactory(serverClass, IID_IUnknown, reinterpret_cast<void**>(&factory));
    if (FAILED(hr)) {
        return hr;
    }
    // Single use: Wine's rpcss hands out the registration of a killed
    // multiple-use server for ever, refusing every later creation of its class,
    // while a single-use one goes with its first use (one a killed server had
    // not given out goes with the next creation, which fails). So a process
    // makes one object per class through COM; a client wanting a second one
    // of the same process asks the control object's CreateObject.
    DWORD cookie = 0;
    hr = CoRegisterClassObject(*serverClass.classId, factory, CLSCTX_LOCAL_SERVER, REGCLS_SINGLEUSE,
                               &cookie);
    factory->Release();
    if (SUCCEEDED(hr)) {
        cookies.push_back(cookie);
    }
    return hr;
}
} // namespace

const ServerClass& ControlClass() {
    return kControlClass;
}

HRESULT RegisterClassObjects() {
    for (int i = 0; i < TrackedClassCount(); ++i) {
        const HRESULT hr = Offer(TrackedClasses()[i]);
        if (FAILED(hr)) {
            return hr;
        }
    }
    return Offer(kControlClass);
}

void RevokeClassObjects() {
    for (DWORD cookie : cookies) {
        CoRevokeClassObject(cookie);
    }
    cookies.clear();
}
