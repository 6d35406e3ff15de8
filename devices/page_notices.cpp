#include "devices/page_notices.h"

namespace {
// Set once, before any export runs, by the pages' static initialisation;
// constant-initialised, so it is empty before that whatever the order.
PageListener listening{nullptr, nullptr, nullptr};
} // namespace

void ListenToDevices(const PageListener& listener) {
    listening = listener;
}

void NoteWheelTurning(int slot) {
    if (listening.wheelTurning != nullptr) {
        listening.wheelTurning(slot);
    }
}

void NoteWheelTurned(int slot) {
    if (listening.wheelTurned != nullptr) {
        listening.wheelTurned(slot);
    }
}

void NoteStageClosed() {
    if (listening.stageClosed != nullptr) {
        listening.stageClosed();
    }
}
