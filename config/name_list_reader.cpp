#include "config/name_list_reader.h"
#include "config/device_roster.h"
#include <windows.h>
#include <cstring>

namespace {
constexpr DWORD kFirstSectionSize = 4096;
constexpr DWORD kLargestSectionSize = 1u << 30;
constexpr size_t kLongestListNumber = 9; // digits; larger numbers fit no list

// The blanks the profile functions trim around keys and values; 0x1A is the
// end-of-file mark of old editors.
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' || c == '\x1a';
}

struct Span {
    const char* text;
    size_t length;
};

Span Trimmed(const char* text, size_t length) {
    while (length > 0 && IsBlank(*text)) {
        ++text;
        --length;
    }
    while (length > 0 && IsBlank(text[length - 1])) {
        --length;
    }
    return {text, length};
}

// A value as a key read returns it: unquoted, then cut to a name field.
Span ValueOf(Span value) {
    if (value.length >= 2 && (value.text[0] == '"' || value.text[0] == '\'') &&
        value.text[value.length - 1] == value.text[0]) {
        value = {value.text + 1, value.length - 2};
    }
    if (value.length > kNameSize - 1) {
        value.length = kNameSize - 1;
    }
    return value;
}

bool IsNameLetters(const char* text) {
    static const char kName[] = "name";
    for (size_t i = 0; i < 4; ++i) {
        const char c = text[i];
        const char lower = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        if (lower != kName[i]) {
            return false;
        }
    }
    return true;
}

// The list number of a key written as "Name%d" (any letter case), or -1. Only
// the text "%d" gives matches: "Name01" is not key 1.
long ListNumberOf(Span key) {
    if (key.length <= 4 || !IsNameLetters(key.text)) {
        return -1;
    }
    const char* digits = key.text + 4;
    const size_t count = key.length - 4;
    if (count > kLongestListNumber || (digits[0] == '0' && count > 1)) {
        return -1;
    }
    long number = 0;
    for (size_t i = 0; i < count; ++i) {
        if (digits[i] < '0' || digits[i] > '9') {
            return -1;
        }
        number = number * 10 + (digits[i] - '0');
    }
    return number;
}

// The section as "key=value" entries, each ending in a NUL; `length` is the
// length of all entries together.
bool ReadSectionText(const NameListFile& file, HeapBlock& text, size_t& length) {
    for (DWORD size = kFirstSectionSize; size <= kLargestSectionSize; size *= 2) {
        if (!text.Resize(size)) {
            return false;
        }
        const DWORD read = GetPrivateProfileSectionA(file.section, text.get(), size, file.path);
        // A section that does not fit comes back cut, with size - 2 as its
        // length; one that fits exactly looks the same and is read again.
        if (read + 2 < size) {
            text.get()[read] = '\0';
            length = read;
            return true;
        }
    }
    return false;
}

size_t CountEntries(const char* text, size_t length) {
    size_t count = 0;
    for (size_t at = 0; at < length; at += std::strlen(text + at) + 1) {
        ++count;
    }
    return count;
}
} // namespace

bool NameList::Read(const NameListFile& file) {
    count_ = 0;
    size_t length = 0;
    if (!ReadSectionText(file, text_, length)) {
        return false;
    }
    char* text = text_.get();
    // A list cannot be longer than the section has entries; the value of
    // each number's first key is kept, as a key read finds that one.
    const size_t entries = CountEntries(text, length);
    if (!names_.Resize((entries + 1) * sizeof(const char*))) {
        return false;
    }
    const char** values = names_.get<const char*>();
    for (size_t i = 0; i <= entries; ++i) {
        values[i] = nullptr;
    }
    for (size_t at = 0; at < length;) {
        char* entry = text + at;
        const size_t entryLength = std::strlen(entry);
        at += entryLength + 1;
        const char* equals = static_cast<const char*>(std::memchr(entry, '=', entryLength));
        const size_t keyLength =
            equals != nullptr ? static_cast<size_t>(equals - entry) : entryLength;
        const long number = ListNumberOf(Trimmed(entry, keyLength));
        if (number < 0 || static_cast<size_t>(number) >= entries || values[number] != nullptr) {
            continue;
        }
        const Span value = equals != nullptr
                               ? ValueOf(Trimmed(equals + 1, entryLength - keyLength - 1))
                               : Span{entry + entryLength, 0};
        // The value ends within its own entry, so it is ended in place.
        entry[value.text - entry + value.length] = '\0';
        values[number] = value.text;
    }
    while (count_ < entries && values[count_] != nullptr && values[count_][0] != '\0') {
        ++count_;
    }
    return true;
}
