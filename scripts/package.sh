#!/usr/bin/env bash
# Sets up, builds, then makes the distributable ZIP and the Windows installer
# (CPack: ZIP and NSIS) in build/packages (or $BUILD_DIR/packages).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build}
bash "$top/scripts/setup.sh"
BUILD_DIR=$build bash "$top/scripts/build.sh"
cmake --build "$build" --target package
ls -l "$build/packages"/*.zip "$build/packages"/*.exe
