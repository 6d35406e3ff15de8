// Every way the driver reads its files, run against one driver copy: the
// inits, the pages shown and hidden, the record, set and name list loaders,
// with the names checked after each.
#pragma once
#include "test_support.h"

// Port 0, two shutters, two wheels on set "Cubes", the focus given to the
// driver and name lists for filters, objectives and condensers.
void WriteGoodConfiguration(const LoadedDriver& driver);
// Loads through every path; a name that does not end within its field fails
// the test. Closes and hides everything again.
void LoadEverything(const LoadedDriver& driver, HWND host);
