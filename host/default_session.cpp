#include "host/default_session.h"

const char kDefaultSession[] = R"(# Shutters: slots handed out, initialised, opened and closed
shutter 0 init
shutter 1 init
shutter 1 name
shutter 0 open
shutter 1 open
shutter 1 state
shutter 1 close
# XY stage: waited moves end when the stage stops
xy.init
xy.speed 50
xy.move 1000 -250 wait
xy.step 100 100
xy.report
xy.calib
xy.move 0 0 wait
xy.report
# Focus (the host's hardware file gives it to the driver)
z.init
z.move 500
z.step -20
z.origin
z.step 5
z.report
z.calib
# Filter wheels turned by position name
wheel 0 init
wheel 1 init
wheel 0 names
wheel 0 position "GFP"
wheel 1 position "Far Red"
wheel 0 report
wheel 1 report
wheel 1 position "Violet"
sim
# Closing: the last holder closes the link
z.close
shutter 0 release
wheel 0 release
xy.close
)";
