// Reading a whole name list at once.
#pragma once
#include "config/name_list_files.h"
#include <string>
#include <vector>

// Fills `names` with the list: the values of "Name0", "Name1", ... up to the
// first key that is missing or empty. Each value reads as one key read would
// give it: blanks around it trimmed, matching quotes around it removed, cut
// to 59 characters, the first of two equal keys counting. The section is read
// in one call, so a list of thousands of names costs one pass. False, with
// `names` empty, when the section does not fit in memory.
bool ReadNameList(const NameListFile& file, std::vector<std::string>& names) noexcept;
