#include "host/driver_exports.h"

namespace {
template <typename F> void Fetch(HMODULE module, const char* name, F* out) {
    *out = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}
} // namespace

#define FETCH(name) Fetch(d.module, #name, &d.name)

bool LoadDriver(DriverExports* out, const std::string& folder) {
    DriverExports d{};
    d.module = LoadLibraryA((folder + "STolvo32.dll").c_str());
    if (d.module == nullptr) {
        return false;
    }
    FETCH(StgXYConfigure);
    FETCH(StgXYInit);
    FETCH(StgXYClose);
    FETCH(StgXYMove);
    FETCH(StgXYReport);
    FETCH(StgXYStep);
    FETCH(StgXYOrigin);
    FETCH(StgXYCalib);
    FETCH(StgXYSetSpeed);
    FETCH(StgZConfigure);
    FETCH(StgZInit);
    FETCH(StgZClose);
    FETCH(StgZMove);
    FETCH(StgZReport);
    FETCH(StgZStep);
    FETCH(StgZOrigin);
    FETCH(StgZCalib);
    FETCH(ShtrConfigure);
    FETCH(ShtrGetInstance);
    FETCH(ShtrInit);
    FETCH(ShtrClose);
    FETCH(ShtrGetName);
    FETCH(ShtrSetOpen);
    FETCH(ShtrGetOpen);
    FETCH(FWConfigure);
    FETCH(FWGetInstance);
    FETCH(FWInit);
    FETCH(FWClose);
    FETCH(FWGetCount);
    FETCH(FWGetName);
    FETCH(FWSetPosition);
    FETCH(FWGetPosition);
    *out = d;
    return true;
}
