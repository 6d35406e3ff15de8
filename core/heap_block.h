// A block of heap memory that frees itself. Allocation failures give an empty
// block instead of an exception, so code that runs inside the host's calls and
// dialog procedures needs no unwinding, and the module needs none of the C++
// library's container and string code.
#pragma once
#include <cstdlib>

class HeapBlock {
  public:
    HeapBlock() = default;
    explicit HeapBlock(size_t bytes) { Resize(bytes); }
    ~HeapBlock() { std::free(data_); }
    HeapBlock(const HeapBlock&) = delete;
    HeapBlock& operator=(const HeapBlock&) = delete;

    // Resizes the block, keeping its contents; false (block unchanged) when
    // the memory cannot be had.
    bool Resize(size_t bytes) {
        void* grown = std::realloc(data_, bytes > 0 ? bytes : 1);
        if (grown == nullptr) {
            return false;
        }
        data_ = grown;
        size_ = bytes;
        return true;
    }
    template <typename T = char> T* get() const { return static_cast<T*>(data_); }
    size_t size() const { return size_; }

  private:
    void* data_ = nullptr;
    size_t size_ = 0;
};
