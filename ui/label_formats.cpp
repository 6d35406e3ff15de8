#include "ui/label_formats.h"

namespace {
// The decimal text of `number`; the C library's long long directive is not
// one that every msvcrt.dll knows.
void DecimalText(long long number, char (&out)[24]) {
    char reversed[24];
    int n = 0;
    unsigned long long magnitude = number < 0 ? 0ULL - static_cast<unsigned long long>(number)
                                              : static_cast<unsigned long long>(number);
    do {
        reversed[n++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    int o = 0;
    if (number < 0) {
        out[o++] = '-';
    }
    while (n > 0) {
        out[o++] = reversed[--n];
    }
    out[o] = '\0';
}

// A format of 79 characters with a number of at most 20 in place of its "%d".
constexpr int kLabelTextSize = 104;

// Writes `format` into `out` with `number` for the first "%d": the format
// comes from a template, not from code, so it is never handed to printf.
void Substitute(const LabelFormat& format, long long number, char (&out)[kLabelTextSize]) {
    char digits[24];
    DecimalText(number, digits);
    int o = 0;
    bool numbered = false;
    for (int i = 0; i < kLabelFormatSize && format[i] != '\0' && o < kLabelTextSize - 1; ++i) {
        const char next = i + 1 < kLabelFormatSize ? format[i + 1] : '\0';
        if (format[i] == '%' && next == 'd' && !numbered) {
            for (const char* d = digits; *d != '\0' && o < kLabelTextSize - 1; ++d) {
                out[o++] = *d;
            }
            numbered = true;
            ++i;
        } else if (format[i] == '%' && next == '%') {
            out[o++] = '%';
            ++i;
        } else {
            out[o++] = format[i];
        }
    }
    out[o] = '\0';
}
} // namespace

void ReadLabelFormat(HWND page, int id, LabelFormat& format) {
    format[0] = '\0';
    GetDlgItemTextA(page, id, format, kLabelFormatSize);
    format[kLabelFormatSize - 1] = '\0';
}

void ShowNumberedLabel(HWND page, int id, const LabelFormat& format, long long number) {
    char text[kLabelTextSize];
    Substitute(format, number, text);
    SetDlgItemTextA(page, id, text);
}
