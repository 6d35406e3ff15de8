#include "host/probe_report.h"
#include "host/probe_text.h"

namespace {
const char* Word(Verdict verdict) {
    switch (verdict) {
    case Verdict::Ok:
        return "ok";
    case Verdict::Harmless:
    case Verdict::Fails:
        return "differs";
    case Verdict::Missing:
        return "missing";
    case Verdict::Skipped:
        return "skipped";
    }
    return "?";
}
} // namespace

int ProbeReport::Count(Verdict verdict) const {
    int count = 0;
    for (const ProbeLine& line : lines_) {
        count += line.verdict == verdict ? 1 : 0;
    }
    return count;
}

int ProbeReport::ExitStatus() const {
    return Count(Verdict::Fails) + Count(Verdict::Missing) > 0 ? 1 : 0;
}

std::string ProbeReport::Text() const {
    std::string text;
    size_t note = 0;
    for (size_t i = 0; i <= lines_.size(); ++i) {
        for (; note < notes_.size() && notes_[note].first == i; ++note) {
            text += notes_[note].second + "\n";
        }
        if (i < lines_.size()) {
            text += Format("%-8s %s\n", Word(lines_[i].verdict), lines_[i].text.c_str());
        }
    }
    const int failing = Count(Verdict::Fails) + Count(Verdict::Missing);
    text +=
        Format("summary: %u checks: %d ok, %d differ harmlessly, %d differ so that an export "
               "fails, %d missing, %d skipped\n",
               static_cast<unsigned>(lines_.size()), Count(Verdict::Ok), Count(Verdict::Harmless),
               Count(Verdict::Fails), Count(Verdict::Missing), Count(Verdict::Skipped));
    text += failing > 0 ? Format("verdict: %d difference(s) would make exports fail\n", failing)
                        : std::string("verdict: every export would work with these servers\n");
    return text;
}
