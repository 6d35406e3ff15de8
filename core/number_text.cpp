#include "core/number_text.h"
#include "core/either_convention_call.h"
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
constexpr int kHostOrdinal = 223;
constexpr int kHostPrecision = 9;
// The settings file reads these values back as at most 14 characters.
constexpr size_t kMaxTextLength = 14;
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

NumberTexts::NumberTexts() : host_(LoadLibraryA("QXUTIL32.dll")), function_(nullptr) {
    if (host_ != nullptr) {
        function_ =
            reinterpret_cast<void*>(GetProcAddress(host_.get(), MAKEINTRESOURCEA(kHostOrdinal)));
    }
}

void NumberTexts::Format(double value, char (&out)[kNumberTextSize]) const {
    if (function_ == nullptr) {
        FormatShortestNumber(value, out);
        return;
    }
    out[0] = '\0';
    CallEitherConvention(function_, value, out, kHostPrecision);
    out[kNumberTextSize - 1] = '\0';
}
