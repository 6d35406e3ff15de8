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
bool SplitScriptLine(const std::string& line, std::vector<ScriptWord>* words, std::string* error);

// A word as it may be printed: control and non-ASCII bytes as \xNN, long
// words cut with "...".
std::string Printable(const std::string& text);

// A whole number that fits a 32-bit int; FALSE for anything else.
bool ParseInt(const std::string& text, int* value);
