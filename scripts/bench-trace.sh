#!/usr/bin/env bash
# Measures the diagnostic trace's cost: the driver with the trace off against
# a build of the revision before the trace came in (or REV, the first
# argument), and with the trace on against off. The older driver is built
# from a worktree under the build folder with the same shipped-driver
# toolchain. BUILD_DIR chooses the build folder (build/ by default).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build}
rev=${1:-$(git -C "$top" log --format=%H --diff-filter=A -1 -- core/diagnostic_trace.cpp)^}
base="$build/bench-baseline"
rm -rf "$base"
git -C "$top" worktree prune
git -C "$top" worktree add --detach "$base/src" "$rev" >/dev/null 2>&1
trap 'git -C "$top" worktree remove --force "$base/src" >/dev/null 2>&1 || true' EXIT
cmake -S "$base/src" -B "$base/build" \
      -DCMAKE_TOOLCHAIN_FILE="$base/src/cmake/mingw-i686-win32.cmake" \
      -DCMAKE_BUILD_TYPE=Release -DSTOLVO_DRIVER_ONLY=ON \
      -DSTOLVO_DRIVER_OUTPUT_DIR="$base/bin" >/dev/null
cmake --build "$base/build" -j"$(nproc)" >/dev/null
echo "baseline: $(git -C "$top" log --format='%h %s' -1 "$rev" | cut -c1-72)"
"$top/scripts/bench.sh" trace "baseline=Z:${base//\//\\}\\bin\\STolvo32.dll" "${@:2}"
