// The simulator's journal as text, with the members' names from the shared
// member tables: what tests compare and what the host bench prints.
#pragma once
#include "sim/sim_control.h"
#include <string>
#include <vector>

// One call: "stage.MoveXY(1000,-250)", "scan.OpenPort(&4)" for a by-ref
// argument, "stage.Speed=14499" for a put, "stage.TravelX?" for a get and
// "filter.WheelPositionCount?(2)" for an indexed get.
std::string CallText(const SimCall& call);

// One line a call. A wait noted by the driver's test build shows as
// "wait(5000)" with its time-out, and the GetBusy polls it made belong to that
// line; a run of polls without a note shows as one "wait".
std::vector<std::string> JournalText(const std::vector<SimCall>& calls);
