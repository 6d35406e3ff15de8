// printf into a std::string, for the bench's lines and the probe's report.
#pragma once
#include <string>

// At most 511 characters.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
