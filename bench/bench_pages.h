// The configuration pages and the driver's work on many files and names.
#pragma once
#include "bench/bench_support.h"

// Each configure export's time to the page shown and a port choice's time to
// its key written, with the families of `driver` initialised.
void RunPages(Report& report, const BenchDriver& driver);
// Listing set files and adding to name lists at 10, 100 and 1000 items,
// through the test build's probe exports.
void RunScaling(Report& report);
