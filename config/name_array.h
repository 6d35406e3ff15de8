// A list of names that grows on the heap: each entry a name field of 59
// characters and the terminator. The lists that the files below the pages
// hand up, or take, as a whole.
#pragma once
#include "config/device_roster.h"
#include "core/heap_block.h"

class NameArray {
  public:
    // Appends `name` cut to a name field; false, with the list unchanged,
    // when the memory cannot be had.
    bool Add(const char* name);
    size_t count() const { return count_; }
    const char* operator[](size_t index) const { return block_.get() + index * kNameSize; }

  private:
    HeapBlock block_;
    size_t count_ = 0;
};
