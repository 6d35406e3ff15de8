#include "config/name_field.h"
#include <cstring>

size_t NameFieldLength(const char* text) {
    size_t length = 0;
    while (length < kNameSize - 1 && text[length] != '\0') {
        ++length;
    }
    return length;
}

void CopyNameField(char (&field)[kNameSize], const char* text) {
    const size_t length = text != nullptr ? NameFieldLength(text) : 0;
    if (length > 0) {
        std::memcpy(field, text, length);
    }
    field[length] = '\0';
}
