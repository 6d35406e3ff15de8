// Splitting a script line into words: blanks separate, double quotes keep a
// name with blanks together, '#' at the start of a word begins a comment.
#pragma once
#include <string>
#include <vector>

struct ScriptWord {
    std::string text;
    bool quoted;
};

// FALSE with `error` set for an unterminated quote or a control byte.
// `comment` receives the line's comment from its '#' on, or "".
bool SplitScriptLine(const std::string& line, std::vector<ScriptWord>* words, std::string* error,
                     std::string* comment);

// A word as it may be printed: control and non-ASCII bytes as \xNN, words
// longer than `limit` cut with "..." (by default enough to recognise a word in
// an error message without flooding the output with a megabyte line).
std::string Printable(const std::string& text, size_t limit = 40);

// A whole number that fits a 32-bit int; FALSE for anything else.
bool ParseInt(const std::string& text, int* value);
