// Keeps failed dispatch calls and C++ exceptions inside the module: an export
// whose work throws returns its code for an operation not done.
#pragma once

template <typename Work> int Guarded(int notDone, Work&& work) noexcept {
    try {
        return work();
    } catch (...) {
        return notDone;
    }
}
