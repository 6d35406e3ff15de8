#include "core/settings_map.h"
#include <cstdio>

void FormatSectionName(const char* format, int number, SectionName& out) {
    // A format without "%d" ignores the number.
    std::snprintf(out, sizeof out, format, number);
}
