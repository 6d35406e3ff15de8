// Automation arguments and results for tests that call the simulator's
// objects themselves. The driver's own argument makers (ArgI4, ArgR8, RefI4,
// RefR8, RefBstr) come with core/dispatch_call.h; none owns what it points at.
#pragma once
#include "core/dispatch_call.h"
#include "core/unique_variant.h"
#include <oleauto.h>

inline VARIANTARG ArgI2(SHORT value) {
    VARIANTARG v{};
    v.vt = VT_I2;
    v.iVal = value;
    return v;
}

inline VARIANTARG ArgBstr(BSTR value) {
    VARIANTARG v{};
    v.vt = VT_BSTR;
    v.bstrVal = value;
    return v;
}

inline VARIANTARG RefVariant(VARIANT* value) {
    VARIANTARG v{};
    v.vt = VT_VARIANT | VT_BYREF;
    v.pvarVal = value;
    return v;
}

using Variant = UniqueVariant;

// An automation string, freed at the end (also when a call replaced it).
class Bstr {
  public:
    explicit Bstr(BSTR value) : value_(value) {}
    ~Bstr() { SysFreeString(value_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR get() const { return value_; }
    BSTR* address() { return &value_; }

  private:
    BSTR value_;
};
