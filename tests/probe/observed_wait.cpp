// The test build's wait for idle: the same wait, noted in the simulator's
// journal with its time-out so that traces show which time-out each wait had.
#define WaitForIdle UnobservedWaitForIdle
#include "core/wait_for_idle.cpp"
#undef WaitForIdle

#include "sim/sim_control.h"

int WaitForIdle(DWORD timeOut) {
    // The simulator is in the process when COM loaded it for a bound object;
    // a wait with nothing bound is noted only when a test loaded it itself.
    if (HMODULE sim = GetModuleHandleA("TolvoSim.dll")) {
        auto note = reinterpret_cast<decltype(&SimJournalNote)>(
            reinterpret_cast<void*>(GetProcAddress(sim, "SimJournalNote")));
        if (note != nullptr) {
            note("wait", static_cast<double>(timeOut));
        }
    }
    return UnobservedWaitForIdle(timeOut);
}
