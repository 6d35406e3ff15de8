// What the device exports tell the configuration pages. The pages live above
// this layer: they install their listener when the module loads, and without
// one the notices go nowhere.
#pragma once

struct PageListener {
    // A turn of wheel `slot` that the host asked for is about to start.
    void (*wheelTurning)(int slot);
    // That turn was made: the wheel stands at its recorded position.
    void (*wheelTurned)(int slot);
    // The XY stage was closed: its page goes with it.
    void (*stageClosed)();
};

// Installs the listener; it stays until the module is unloaded.
void ListenToDevices(const PageListener& listener);

void NoteWheelTurning(int slot);
void NoteWheelTurned(int slot);
void NoteStageClosed();
