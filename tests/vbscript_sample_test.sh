#!/usr/bin/env bash
# The VBScript sample drives the simulator through cscript, as a scripting
# client does: small integers and by-reference variables must be accepted.
#
# Usage: vbscript_sample_test.sh BUILD_DIR SAMPLE
set -euo pipefail
build=$1
sample=$2
output=$("$build/wine-run" cscript //nologo "Z:${sample//\//\\}" 2>&1 </dev/null | tr -d '\r')
echo "$output"
expected='OpenPort(1) status: 0
travel: 100000 x 75000
after MoveXY 100, 200: x = 100, y = 200 (busy polls: 1)
after StepX -25, StepY 2.5: x = 75, y = 202.5
shutter 1 opened
port closed'
if [ "$output" != "$expected" ]; then
    echo "FAIL: expected:"
    echo "$expected"
    exit 1
fi
echo PASS
