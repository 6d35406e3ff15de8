#include "core/trace_line.h"
#include "core/number_text.h"

namespace {
const char kHexDigits[] = "0123456789abcdef";

bool ShownAsIs(unsigned int c) {
    return c >= 0x20 && c < 0x7f && c != '"' && c != '\\';
}
} // namespace

TraceLine& TraceLine::AddChar(char c) {
    // One byte stays free for the terminating zero.
    if (length_ < kTraceLineSize - 1) {
        text_[length_++] = c;
        text_[length_] = '\0';
    }
    return *this;
}

TraceLine& TraceLine::Add(const char* text) {
    if (text == nullptr) {
        return Add("(null)");
    }
    while (*text != '\0' && length_ < kTraceLineSize - 1) {
        text_[length_++] = *text++;
    }
    text_[length_] = '\0';
    return *this;
}

TraceLine& TraceLine::AddInt(long long value) {
    char digits[24];
    int count = 0;
    // Negated digit by digit, so that the most negative value is not negated.
    const bool negative = value < 0;
    do {
        const int digit = static_cast<int>(value % 10);
        digits[count++] = static_cast<char>('0' + (digit < 0 ? -digit : digit));
        value /= 10;
    } while (value != 0);
    if (negative) {
        AddChar('-');
    }
    while (count > 0) {
        AddChar(digits[--count]);
    }
    return *this;
}

TraceLine& TraceLine::AddHex(DWORD value) {
    AddChar('0').AddChar('x');
    for (int shift = 28; shift >= 0; shift -= 4) {
        AddChar(kHexDigits[(value >> shift) & 0xf]);
    }
    return *this;
}

TraceLine& TraceLine::AddNumber(double value) {
    // Whole numbers, as positions mostly are, read best without an exponent.
    constexpr double kWholeLimit = 1e15;
    if (value > -kWholeLimit && value < kWholeLimit && value == static_cast<long long>(value)) {
        return AddInt(static_cast<long long>(value));
    }
    char text[kNumberTextSize];
    FormatShortestNumber(value, text);
    return Add(text);
}

TraceLine& TraceLine::AddMilliseconds(double value) {
    if (!(value >= 0.0) || value > 1e12) {
        return Add("?");
    }
    const long long thousandths = static_cast<long long>(value * 1000.0 + 0.5);
    AddInt(thousandths / 1000).AddChar('.');
    const int fraction = static_cast<int>(thousandths % 1000);
    AddChar(static_cast<char>('0' + fraction / 100));
    AddChar(static_cast<char>('0' + fraction / 10 % 10));
    AddChar(static_cast<char>('0' + fraction % 10));
    return Add(" ms");
}

TraceLine& TraceLine::AddQuoted(const char* text) {
    if (text == nullptr) {
        return Add("(null)");
    }
    AddChar('"');
    int shown = 0;
    for (; text[shown] != '\0' && shown < kTraceTextLimit; ++shown) {
        const unsigned int c = static_cast<unsigned char>(text[shown]);
        if (ShownAsIs(c)) {
            AddChar(static_cast<char>(c));
        } else {
            AddChar('\\').AddChar('x').AddChar(kHexDigits[c >> 4]).AddChar(kHexDigits[c & 0xf]);
        }
    }
    AddChar('"');
    if (text[shown] != '\0') {
        Add("...");
    }
    return *this;
}

TraceLine& TraceLine::AddQuotedWide(const wchar_t* text) {
    if (text == nullptr) {
        return Add("(null)");
    }
    char narrow[kTraceTextLimit + 2];
    int count = 0;
    for (; text[count] != L'\0' && count < kTraceTextLimit + 1; ++count) {
        const unsigned int c = static_cast<unsigned int>(text[count]);
        // Characters beyond ASCII are shown as '?': the trace is plain text.
        narrow[count] = static_cast<char>(c < 0x80 ? c : '?');
    }
    narrow[count] = '\0';
    return AddQuoted(narrow);
}

TraceLine& TraceLine::AddPointer(const void* pointer) {
    if (pointer == nullptr) {
        return Add("NULL");
    }
    return AddHex(static_cast<DWORD>(reinterpret_cast<UINT_PTR>(pointer)));
}
