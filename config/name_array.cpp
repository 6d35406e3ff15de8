#include "config/name_array.h"
#include "config/name_field.h"
#include <cstring>

bool NameArray::Add(const char* name) {
    const size_t needed = (count_ + 1) * kNameSize;
    // Room for twice as many at a time, so that a long list grows in few steps.
    if (block_.size() < needed && !block_.Resize(needed * 2) && !block_.Resize(needed)) {
        return false;
    }
    char* entry = block_.get() + count_ * kNameSize;
    const size_t length = name != nullptr ? NameFieldLength(name) : 0;
    if (length > 0) {
        std::memcpy(entry, name, length);
    }
    entry[length] = '\0';
    ++count_;
    return true;
}
