#include "core/number_text.h"
#include "core/either_convention_call.h"
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
constexpr int kHostOrdinal = 223;
constexpr int kHostPrecision = 9;
// The settings file reads these values back as at most 14 characters.
constexpr size_t kMaxTextLength = 14;

// Frees the host library again when the call is done.
class LibraryHandle {
  public:
    explicit LibraryHandle(const char* name) : module_(LoadLibraryA(name)) {}
    ~LibraryHandle() {
        if (module_ != nullptr) {
            FreeLibrary(module_);
        }
    }
    LibraryHandle(const LibraryHandle&) = delete;
    LibraryHandle& operator=(const LibraryHandle&) = delete;
    HMODULE get() const { return module_; }

  private:
    HMODULE module_;
};
} // namespace

void FormatShortestNumber(double value, char (&out)[kNumberTextSize]) {
    out[0] = '\0';
    for (int digits = 1; digits <= 17; ++digits) {
        char text[32];
        std::snprintf(text, sizeof text, "%.*g", digits, value);
        if (std::strlen(text) > kMaxTextLength) {
            break;
        }
        std::memcpy(out, text, std::strlen(text) + 1);
        if (std::strtod(text, nullptr) == value) {
            return;
        }
    }
}

void FormatNumberText(double value, char (&out)[kNumberTextSize]) {
    LibraryHandle host("QXUTIL32.dll");
    void* function =
        host.get() == nullptr
            ? nullptr
            : reinterpret_cast<void*>(GetProcAddress(host.get(), MAKEINTRESOURCEA(kHostOrdinal)));
    if (function == nullptr) {
        FormatShortestNumber(value, out);
        return;
    }
    out[0] = '\0';
    CallEitherConvention(function, value, out, kHostPrecision);
    out[kNumberTextSize - 1] = '\0';
}
