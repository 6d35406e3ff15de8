// The controller simulator's control functions, when the registered
// "tolvo.scan" is an in-process TolvoSim.dll: the bench then loads that same
// file, so that it shares the controller model with the objects the driver
// binds, sets the timed motion model and shows what the simulator saw. With
// other servers registered the bench works without it.
#pragma once
#include "sim/sim_control.h"
#include <string>
#include <vector>

struct SimLink {
    HMODULE module;
    decltype(&SimJournalCount) JournalCount;
    decltype(&SimJournalEntry) JournalEntry;
    decltype(&SimJournalClear) JournalClear;
    decltype(&SimSetBusyPolls) SetBusyPolls;
    decltype(&SimSetMotionSpeed) SetMotionSpeed;
    decltype(&SimGetBusyPollCount) BusyPollCount;
    decltype(&SimGetStagePosition) GetStagePosition;
    decltype(&SimGetFocusPosition) GetFocusPosition;
    decltype(&SimGetShutterState) GetShutterState;
    decltype(&SimGetWheelPosition) GetWheelPosition;
};

// The simulated stage's speed in the bench, in server units per second: a
// move of 1000 units takes 100 ms, long enough to see a wait end.
constexpr double kBenchStageSpeed = 10000.0;

// FALSE when tolvo.scan is not served by a TolvoSim.dll in process.
bool LoadSimLink(SimLink* out);

// The calls the simulator received since the last call, one text each; the
// journal is emptied. A long wait polls more often than the journal holds:
// its first line then says how many calls were dropped before the rest.
std::vector<std::string> TakeJournal(const SimLink& sim);
