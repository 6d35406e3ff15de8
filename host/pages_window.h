// Window mode: a host-like configuration window. A list of the devices the
// host's hardware file gives to the driver; the selected one's page embedded
// below the list through its configure export; Apply and Close buttons; a
// Probe button that checks the controller's servers and shows the report; a
// status line refreshed from the exports on a timer; with the trace on, a pane
// below it with the driver's newest trace lines.
#pragma once
#include "host/driver_exports.h"
#include <string>

// Runs the window until it is closed; the exit status. With `selftest` the
// window selects each device in turn, checks that its page came up below the
// list, applies, closes and returns 0 when every page did; otherwise device
// `first` of the list is selected at the start. `tracePane` adds the trace
// pane, which the self-test then checks too; the self-test also probes.
int RunPagesWindow(const DriverExports& driver, const std::string& folder, bool selftest, int first,
                   bool tracePane);
