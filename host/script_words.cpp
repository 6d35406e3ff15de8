#include "host/script_words.h"
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

namespace {
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}
} // namespace

bool SplitScriptLine(const std::string& line, std::vector<ScriptWord>* words, std::string* error,
                     std::string* comment) {
    words->clear();
    comment->clear();
    size_t i = 0;
    while (i < line.size()) {
        if (IsBlank(line[i])) {
            ++i;
            continue;
        }
        if (line[i] == '#') {
            *comment = line.substr(i);
            while (!comment->empty() && IsBlank(comment->back())) {
                comment->pop_back();
            }
            return true;
        }
        ScriptWord word{"", line[i] == '"'};
        if (word.quoted) {
            const size_t end = line.find('"', i + 1);
            if (end == std::string::npos) {
                *error = "unterminated quote starting at column " + std::to_string(i + 1);
                return false;
            }
            word.text = line.substr(i + 1, end - i - 1);
            i = end + 1;
        } else {
            const size_t start = i;
            while (i < line.size() && !IsBlank(line[i]) && line[i] != '"') {
                ++i;
            }
            word.text = line.substr(start, i - start);
        }
        for (const char c : word.text) {
            if (static_cast<unsigned char>(c) < 0x20) {
                *error = "control byte in \"" + Printable(word.text) + "\"";
                return false;
            }
        }
        words->push_back(word);
    }
    return true;
}

std::string Printable(const std::string& text, size_t limit) {
    std::string out;
    for (size_t i = 0; i < text.size() && i < limit; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c >= 0x7f) {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
            out += escaped;
        } else {
            out += static_cast<char>(c);
        }
    }
    if (text.size() > limit) {
        out += "... (" + std::to_string(text.size()) + " bytes)";
    }
    return out;
}

bool ParseInt(const std::string& text, int* value) {
    if (text.empty()) {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    const long long number = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || number < INT_MIN || number > INT_MAX) {
        return false;
    }
    *value = static_cast<int>(number);
    return true;
}
