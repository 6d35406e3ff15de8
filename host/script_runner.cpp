#include "host/script_runner.h"
#include <cstdio>
#include <string>

namespace {
// Comments are the script's own notes: shown longer than words in errors.
constexpr size_t kShownCommentLength = 200;

std::string SystemErrorText(DWORD error) {
    char text[512] = "";
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, error, 0, text, sizeof text, nullptr);
    std::string message(text, length);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                                message.back() == ' ' || message.back() == '.')) {
        message.pop_back();
    }
    return message.empty() ? "system error " + std::to_string(error) : message;
}
} // namespace

int RunScript(BenchContext& bench, std::istream& script) {
    int errors = 0;
    std::string line;
    for (int number = 1; std::getline(script, line); ++number) {
        std::vector<ScriptWord> words;
        std::string error;
        std::string comment;
        if (!SplitScriptLine(line, &words, &error, &comment)) {
            std::printf("line %d: error: %s\n", number, error.c_str());
            ++errors;
            continue;
        }
        std::string shown;
        for (const ScriptWord& word : words) {
            const std::string text = Printable(word.text);
            shown += (shown.empty() ? "" : " ") + (word.quoted ? "\"" + text + "\"" : text);
        }
        if (!comment.empty()) {
            shown += (shown.empty() ? "" : "  ") + Printable(comment, kShownCommentLength);
        }
        if (shown.empty()) {
            continue;
        }
        std::printf("line %d: %s\n", number, shown.c_str());
        if (words.empty()) {
            continue;
        }
        try {
            RunCommand(bench, words);
        } catch (const ScriptError& e) {
            std::printf("line %d: error: %s\n", number, e.what());
            ++errors;
        }
        std::fflush(stdout);
    }
    return errors;
}

bool ReadScriptFile(const std::string& path, std::string* text, std::string* error) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        *error = SystemErrorText(GetLastError());
        return false;
    }
    text->clear();
    char buffer[65536];
    DWORD read = 0;
    bool ok = true;
    while ((ok = ReadFile(file, buffer, sizeof buffer, &read, nullptr) != 0) && read > 0) {
        text->append(buffer, read);
    }
    if (!ok) {
        *error = SystemErrorText(GetLastError());
    }
    CloseHandle(file);
    return ok;
}
