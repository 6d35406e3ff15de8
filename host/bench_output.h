// How the bench prints a call: the call, its status code and meaning, the
// values it returned and how long it took.
#pragma once
#include "host/bench_context.h"
#include <string>

// Milliseconds from a start taken with Now().
double Now();
double MillisecondsSince(double start);

void PrintStatus(const std::string& call, int code, const std::string& values, double ms);
// For exports whose result is a value, not a status (slots, counts, states);
// a negative value is a status code and is shown with its meaning.
void PrintValue(const std::string& call, int value, const std::string& meaning, double ms);

// The driver calls printed so far, and those that did not succeed (a status
// other than 0, a negative value).
struct CallTally {
    int calls;
    int failed;
};
CallTally Tally();
// What the simulator received since the last print, when it is ours.
void PrintSimulatorCalls(const BenchContext& bench);
