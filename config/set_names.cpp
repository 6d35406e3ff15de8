#include "config/set_names.h"
#include <cstring>

namespace {
// Characters that no file name holds: separators, the drive and stream colon,
// wildcards, quotes, redirections and the control characters.
bool HoldsNonFileCharacter(const char* name) {
    for (const char* c = name; *c != '\0'; ++c) {
        if (static_cast<unsigned char>(*c) < 32 || std::strchr("\\/:*?\"<>|", *c) != nullptr) {
            return true;
        }
    }
    return false;
}

bool SameLetters(const char* text, size_t length, const char* word) {
    if (std::strlen(word) != length) {
        return false;
    }
    for (size_t i = 0; i < length; ++i) {
        char c = text[i];
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
        if (c != word[i]) {
            return false;
        }
    }
    return true;
}

// The system counts the superscript digits of the Latin-1 code page as
// digits of a port's name as well.
bool IsPortDigit(char c) {
    const unsigned char u = static_cast<unsigned char>(c);
    return (u >= '1' && u <= '9') || u == 0xB9 || u == 0xB2 || u == 0xB3;
}

// The system opens a device for such a name in any folder: everything before
// the first dot, without trailing blanks, is what it compares.
bool NamesDevice(const char* name) {
    size_t length = std::strcspn(name, ".");
    while (length > 0 && name[length - 1] == ' ') {
        --length;
    }
    static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL"};
    for (const char* device : kDevices) {
        if (SameLetters(name, length, device)) {
            return true;
        }
    }
    return length == 4 && (SameLetters(name, 3, "COM") || SameLetters(name, 3, "LPT")) &&
           IsPortDigit(name[3]);
}
} // namespace

bool IsUsableSetName(const char* setName) {
    // A name of blanks reads back from the settings file as no name.
    if (setName == nullptr || setName[std::strspn(setName, " ")] == '\0') {
        return false;
    }
    // Without separators the name and its extension make one file name in the
    // module's folder: it cannot be "." or "..", whatever dots it starts with.
    return !HoldsNonFileCharacter(setName) && !NamesDevice(setName);
}
