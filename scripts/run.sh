#!/usr/bin/env bash
# The main job: set up, build, then run a short host session that drives the
# XY stage, the focus drive and two shutters through the driver against the
# controller simulator.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build}
bash "$top/scripts/setup.sh"
BUILD_DIR=$build bash "$top/scripts/build.sh"

# The session's driver copy lives in a folder of its own; the session writes
# the host's hardware file and the driver's settings beside it.
session=$build/session
rm -rf "$session"
mkdir -p "$session"
cp "$build/bin/STolvo32.dll" "$session/"

"$build/wine-run" regsvr32 /s "$build/bin/TolvoSim.dll"
# Wine shows the Linux root as drive Z:.
driver="Z:${session//\//\\}\\STolvo32.dll"
cd "$build/bin"
"$build/wine-run" host_session.exe "$driver"
