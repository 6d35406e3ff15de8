// A dialog's own state: an object made when the dialog is initialised, kept
// in its user slot (DWLP_USER) and freed when the window goes. The slot
// belongs to the dialog procedure, so it is read only on windows that run
// `Proc`: any other window, or a dialog before its initialisation, has none.
#pragma once
#include <windows.h>
#include <cstdlib>
#include <new>
#include <type_traits>

template <typename State> State* DialogStateOf(HWND dialog, DLGPROC proc) {
    if (dialog == nullptr ||
        GetWindowLongPtrA(dialog, DWLP_DLGPROC) != reinterpret_cast<LONG_PTR>(proc)) {
        return nullptr;
    }
    return reinterpret_cast<State*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

// Frees the state of `dialog` and empties its user slot. The states are
// plain records on the C heap: nothing of the C++ library's allocation is
// linked for them.
template <typename State> void FreeDialogState(HWND dialog, DLGPROC proc) {
    static_assert(std::is_trivially_destructible<State>::value, "a plain record");
    State* state = DialogStateOf<State>(dialog, proc);
    if (state != nullptr) {
        SetWindowLongPtrA(dialog, DWLP_USER, 0);
        std::free(state);
    }
}

// Makes the state of `dialog` from `initial` and keeps it in the user slot,
// in place of any it had; nullptr, with the slot empty, when the memory
// cannot be had or the window does not run `proc`.
template <typename State>
State* AttachDialogState(HWND dialog, DLGPROC proc, const State& initial) {
    FreeDialogState<State>(dialog, proc);
    if (dialog == nullptr ||
        GetWindowLongPtrA(dialog, DWLP_DLGPROC) != reinterpret_cast<LONG_PTR>(proc)) {
        return nullptr;
    }
    void* memory = std::malloc(sizeof(State));
    State* state = memory != nullptr ? ::new (memory) State(initial) : nullptr;
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
    return state;
}
