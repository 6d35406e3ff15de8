// Numbers as the short decimal text that the settings file and the pages show.
#pragma once

constexpr int kNumberTextSize = 20;

// Formats `value` with the host utility library's number-to-text function
// (QXUTIL32.dll, ordinal 223, precision 9). Without that library the driver
// writes the shortest text of at most 14 characters that reads back to the
// same value (or the closest such text when none does).
void FormatNumberText(double value, char (&out)[kNumberTextSize]);

// The driver's own formatting, used when the host library is missing.
void FormatShortestNumber(double value, char (&out)[kNumberTextSize]);
