#!/usr/bin/env bash
# Builds if needed and runs the benchmarks (bench/tolvo_bench.cpp) under Wine
# in the build's own prefix: a table, then one "BENCH name=..." line per
# figure. Arguments go to the program ("inproc", "pages", "scaling", "local",
# "module", "quick"). BUILD_DIR chooses the build folder (build/ by default).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build}
"$top/scripts/setup.sh" >/dev/null
BUILD_DIR="$build" "$top/scripts/build.sh" >/dev/null
# The simulator's classes name the ProgIDs the bench objects stand in for.
"$build/wine-run" regsvr32 /s "$build/bin/TolvoSim.dll"
cpu=$(grep -m1 'model name' /proc/cpuinfo | sed 's/.*: //')
if [ -e /proc/sys/fs/binfmt_misc/qemu-i386 ]; then how="under qemu emulation"; else how="natively"; fi
echo "machine: $cpu, $(nproc) cores, Wine $(wine --version 2>/dev/null) running $how"
exec "$build/wine-run" "$build/bin/tolvo_bench.exe" "$@"
