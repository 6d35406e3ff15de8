// One line of the diagnostic trace, built in a fixed buffer: whatever does not
// fit is cut, so that no text from the host or a server can overrun it.
#pragma once
#include <windows.h>

constexpr int kTraceLineSize = 512;
// Texts from the host or a server are shown up to this many characters.
constexpr int kTraceTextLimit = 59;

class TraceLine {
  public:
    TraceLine() { text_[0] = '\0'; }
    const char* text() const { return text_; }
    int length() const { return length_; }

    TraceLine& Add(const char* text);
    TraceLine& AddChar(char c);
    TraceLine& AddInt(long long value);
    TraceLine& AddHex(DWORD value);
    TraceLine& AddNumber(double value);
    // Milliseconds with three decimals.
    TraceLine& AddMilliseconds(double value);
    // `text` in quotes, at most kTraceTextLimit characters of it, with
    // control characters and quotes written as \xNN.
    TraceLine& AddQuoted(const char* text);
    TraceLine& AddQuotedWide(const wchar_t* text);
    TraceLine& AddPointer(const void* pointer);

  private:
    char text_[kTraceLineSize];
    int length_ = 0;
};
