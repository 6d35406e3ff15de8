#include "config/trim_blanks.h"
#include <cstring>

char* TrimBlanks(char* text) {
    if (text == nullptr) {
        return nullptr;
    }
    while (*text == ' ') {
        ++text;
    }
    size_t length = std::strlen(text);
    while (length > 0 && text[length - 1] == ' ') {
        --length;
    }
    if (length == 0) {
        return nullptr;
    }
    text[length] = '\0';
    return text;
}
