// Module entry points of the in-process server: class objects, unloading and
// self-registration.
#include "sim/server_module.h"
#include "sim/class_factory.h"
#include "sim/object_accounting.h"
#include "sim/registration.h"

namespace {
HMODULE module = nullptr;
} // namespace

HMODULE ServerModule() {
    return module;
}

ServerHosting Hosting() {
    return ServerHosting::InProcess;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID classId, REFIID riid, LPVOID* object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    const ServerClass* serverClass = FindClassById(classId);
    if (serverClass == nullptr) {
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    return CreateClassFactory(*serverClass, riid, object);
}

STDAPI DllCanUnloadNow() {
    return ModuleInUse() ? S_FALSE : S_OK;
}

STDAPI DllRegisterServer() {
    return RegisterServerClasses();
}

STDAPI DllUnregisterServer() {
    return UnregisterServerClasses();
}
