// Reading a whole name list at once.
#pragma once
#include "config/name_list_files.h"
#include "core/heap_block.h"

// The names of one list: the values of "Name0", "Name1", ... up to the first
// key that is missing or empty. Each value reads as one key read would give
// it: blanks around it trimmed, matching quotes around it removed, cut to 59
// characters, the first of two equal keys counting. The section is read in
// one call, so a list of thousands of names costs one pass.
class NameList {
  public:
    // False, with no names, when the section does not fit in memory.
    bool Read(const NameListFile& file);
    size_t count() const { return count_; }
    const char* operator[](size_t index) const { return names_.get<const char*>()[index]; }

  private:
    HeapBlock text_;
    HeapBlock names_;
    size_t count_ = 0;
};
