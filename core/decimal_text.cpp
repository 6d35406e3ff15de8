#include "core/decimal_text.h"
#include <cctype>
#include <cfloat>
#include <cstdlib>

namespace {
bool IsDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}
} // namespace

double LeadingDecimal(const char* text) {
    int i = 0;
    while (text[i] == ' ' || text[i] == '\t') {
        ++i;
    }
    const int start = i;
    if (text[i] == '+' || text[i] == '-') {
        ++i;
    }
    int digits = 0;
    for (; IsDigit(text[i]); ++i) {
        ++digits;
    }
    if (text[i] == '.') {
        for (++i; IsDigit(text[i]); ++i) {
            ++digits;
        }
    }
    if (digits == 0) {
        return 0.0;
    }
    int end = i;
    if (text[i] == 'e' || text[i] == 'E') {
        int j = i + 1;
        if (text[j] == '+' || text[j] == '-') {
            ++j;
        }
        if (IsDigit(text[j])) {
            while (IsDigit(text[j])) {
                ++j;
            }
            end = j;
        }
    }
    // Only the decimal number itself goes to the conversion, which would
    // also read "0x10" as sixteen.
    char number[32] = "";
    const int length = end - start < static_cast<int>(sizeof number) - 1
                           ? end - start
                           : static_cast<int>(sizeof number) - 1;
    for (int k = 0; k < length; ++k) {
        number[k] = text[start + k];
    }
    const double value = std::strtod(number, nullptr);
    return value >= -DBL_MAX && value <= DBL_MAX ? value : 0.0;
}

bool IsUsableStepSize(double size) {
    return size > 0.0 && size <= DBL_MAX;
}
