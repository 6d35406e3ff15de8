#include "host/command_args.h"
#include <cstdarg>
#include <cstdio>

int CommandArgs::Int(size_t index, const char* what) const {
    if (index >= words_.size()) {
        Fail(std::string("missing ") + what);
    }
    int value = 0;
    if (words_[index].quoted || !ParseInt(words_[index].text, &value)) {
        Fail(std::string(what) + " must be a whole number from -2147483648 to 2147483647, not \"" +
             Printable(words_[index].text) + "\"");
    }
    return value;
}

std::string CommandArgs::Word(size_t index) const {
    return index < words_.size() ? words_[index].text : std::string();
}

bool CommandArgs::Quoted(size_t index) const {
    return index < words_.size() && words_[index].quoted;
}

void CommandArgs::End(size_t count) const {
    if (words_.size() > count) {
        Fail("unexpected \"" + Printable(words_[count].text) + "\"");
    }
}

void CommandArgs::Fail(const std::string& what) const {
    throw ScriptError(words_[0].text + ": " + what + " (expected: " + usage_ + ")");
}

int HostCallback() {
    return 0;
}

std::string Text(const char* format, ...) {
    char text[160];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}
