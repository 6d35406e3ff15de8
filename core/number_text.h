// Numbers as the short decimal text that the settings file and the pages show.
#pragma once
#include <windows.h>
#include <memory>

constexpr int kNumberTextSize = 20;

// The host utility library's number-to-text function (QXUTIL32.dll, ordinal
// 223), looked up once for a run of numbers (a list's entries, the settings'
// step sizes) and given back after it: looking for a library that is not
// there searches the whole path, about a millisecond under Wine, each time.
class NumberTexts {
  public:
    NumberTexts();

    // Formats `value` with that function, precision 9. Without the library
    // the driver writes the shortest text of at most 14 characters that reads
    // back to the same value (or the closest such text when none does).
    void Format(double value, char (&out)[kNumberTextSize]) const;

  private:
    struct Release {
        void operator()(HMODULE library) const { FreeLibrary(library); }
    };
    // The library's reference, given back when the run ends.
    std::unique_ptr<HINSTANCE__, Release> host_;
    void* function_;
};

// The driver's own formatting, used when the host library is missing.
void FormatShortestNumber(double value, char (&out)[kNumberTextSize]);
