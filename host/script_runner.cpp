#include "host/script_runner.h"
#include <cstdio>
#include <string>

int RunScript(BenchContext& bench, std::istream& script) {
    int errors = 0;
    std::string line;
    for (int number = 1; std::getline(script, line); ++number) {
        std::vector<ScriptWord> words;
        std::string error;
        if (!SplitScriptLine(line, &words, &error)) {
            std::printf("line %d: error: %s\n", number, error.c_str());
            ++errors;
            continue;
        }
        if (words.empty()) {
            continue;
        }
        std::string shown;
        for (const ScriptWord& word : words) {
            const std::string text = Printable(word.text);
            shown += (shown.empty() ? "" : " ") + (word.quoted ? "\"" + text + "\"" : text);
        }
        std::printf("line %d: %s\n", number, shown.c_str());
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
