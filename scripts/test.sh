#!/usr/bin/env bash
# The test job: set up, build, then run every test under Wine with ctest.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build}
bash "$top/scripts/setup.sh"
BUILD_DIR=$build bash "$top/scripts/build.sh"
cd "$build"
ctest --output-on-failure "$@"
