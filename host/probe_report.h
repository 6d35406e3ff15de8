// The field probe's findings: one line per check with its verdict and reason,
// a summary, and the exit status they give.
#pragma once
#include <string>
#include <utility>
#include <vector>

enum class Verdict {
    Ok,
    Harmless, // differs, but the driver copes (a result type it converts, ...)
    Fails,    // differs so that an export would fail
    Missing,  // not there at all; an export would fail
    Skipped,  // not checked, and why
};

struct ProbeLine {
    Verdict verdict;
    std::string text;
};

class ProbeReport {
  public:
    void Add(Verdict verdict, const std::string& text) { lines_.push_back({verdict, text}); }
    // A note that is not a check: the heading, where something was found.
    void Note(const std::string& text) { notes_.push_back({lines_.size(), text}); }
    const std::vector<ProbeLine>& lines() const { return lines_; }
    int Count(Verdict verdict) const;
    // 0 when every export would work, else 1.
    int ExitStatus() const;
    // Every line, the notes in their places, then the summary; lines end in "\n".
    std::string Text() const;

  private:
    std::vector<ProbeLine> lines_;
    std::vector<std::pair<size_t, std::string>> notes_; // before line index
};
