// The host library's number-to-text function: the value in at most
// `precision` significant digits, written into a 20-byte buffer.
#include <windows.h>
#include <cstdio>

namespace {
constexpr int kBufferSize = 20;
}

// The library's documentation does not give the calling convention, so the
// build makes it both ways (QX_CALLING_CONVENTION) and the driver copes with either.
extern "C" char* QX_CALLING_CONVENTION QxNumberToText(double value, char* buffer, int precision) {
    if (buffer == nullptr) {
        return nullptr;
    }
    if (precision < 1 || precision > 15) {
        precision = 15;
    }
    std::snprintf(buffer, kBufferSize, "%.*g", precision, value);
    return buffer;
}
