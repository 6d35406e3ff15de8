// Keeps failed dispatch calls and C++ exceptions inside the module: an export
// whose work throws returns its code for an operation not done.
#pragma once

// Inline, with the export's work: a call of its own for each export would cost
// about as much as a small in-process server's answer.
template <typename Work>
inline __attribute__((always_inline)) int Guarded(int notDone, Work&& work) noexcept {
    try {
        return work();
    } catch (...) {
        return notDone;
    }
}
