#!/usr/bin/env bash
# The main job: set up, build, then run the host bench's built-in session,
# which drives the shutters, the XY stage, the focus drive and two filter
# wheels through the driver against the controller simulator.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build}
bash "$top/scripts/setup.sh"
# Only what the session needs: the driver, the simulator, the host library
# stand-in and the bench, not the tests.
BUILD_DIR=$build bash "$top/scripts/build.sh" STolvo32 TolvoSim QXUTIL32 tolvo-host

# The bench, from a folder of the session's own, makes its rig (the host's
# hardware file, the driver's settings and the filter sets beside a copy of
# the driver) in a scratch folder and says where.
session=$build/session
rm -rf "$session"
mkdir -p "$session"
cp "$build/bin/STolvo32.dll" "$build/bin/tolvo-host.exe" "$build/hostlib/QXUTIL32.dll" "$session/"

"$build/wine-run" regsvr32 /s "$build/bin/TolvoSim.dll"
"$build/wine-run" "$session/tolvo-host.exe" "$@"
