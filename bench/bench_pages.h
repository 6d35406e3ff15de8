// The configuration pages and the driver's work on many files and names.
#pragma once
#include "bench/bench_support.h"

// Each configure export's time to its page shown (the stage pages, the shutter,
// wheel and focus device pages) and a port choice's or a typed name's time to
// its key written, with the families of `driver` initialised.
void RunPages(Report& report, const BenchDriver& driver);
// The filter wheel page shown with 10, 100 and 1000 set files, and a position
// name typed on it to KROFWLST.INI written with lists of as many names; needs
// the controller's objects that the in-process figures registered.
void RunWheelScaling(Report& report);
// Listing set files and adding to name lists at 10, 100 and 1000 items,
// through the test build's probe exports.
void RunScaling(Report& report);
