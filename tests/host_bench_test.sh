#!/usr/bin/env bash
# The host bench end to end, in the tests' prefix with the simulator
# registered: the built-in session, a script with expected lines, every kind
# of script error with its line number, and fuzzed scripts that must never
# crash the bench.
#
# The window mode's self-test selects each device of the rig, checks its
# page below the list, applies and closes.
#
# --trace: the driver's trace lines under each command, in the file beside the
# driver, and in the window's pane; without it, none of them.
#
# Usage: host_bench_test.sh BUILD_DIR
set -euo pipefail
build=$1
work="$build/host-bench-test"
rm -rf "$work"
mkdir -p "$work"
cp "$build/bin/STolvo32.dll" "$build/bin/tolvo-host.exe" "$build/hostlib/QXUTIL32.dll" "$work/"
windows_dir="Z:${work//\//\\}"

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Runs the bench with its arguments; output (without CRs) to $work/out.txt,
# exit status to $status.
bench() {
    status=0
    env -u STOLVO_TRACE "$build/wine-run" "$work/tolvo-host.exe" "$@" >"$work/out.txt" 2>&1 </dev/null ||
        status=$?
    tr -d '\r' <"$work/out.txt" >"$work/out.tmp" && mv "$work/out.tmp" "$work/out.txt"
}

expect_lines() {
    local line
    while IFS= read -r line; do
        grep -Eq -- "$line" "$work/out.txt" || { cat "$work/out.txt"; fail "no line like: $line"; }
    done
}

echo "== the built-in session"
bench
cat "$work/out.txt"
[ "$status" -eq 0 ] || fail "the session ended with $status"
expect_lines <<'LINES'
^simulator: TolvoSim.dll in process, moves at 10000 units/s$
^  ShtrInit\(0, callback\) +-> +0 \(done\)
^  ShtrGetName\(1\) +-> +0 \(done\) +"Transmitted"
^  StgXYMove\(1000, -250, 1\) +-> +0 \(done\)
^     stage stopped: wait ended after [0-9]+ ms and [0-9]+ busy polls \(1031 units at 10000 units/s: 103 ms\)$
^  StgXYReport +-> +0 \(done\) +x 1100, y -150
^  StgZMove\(500, 0\) +-> +0 \(done\) +[1-9][0-9]+\.[0-9] ms$
^  StgZReport +-> +0 \(done\) +z 5
^  FWSetPosition\(1, 6\) +-> +0 \(done\) +"Far Red"
^  FWGetPosition\(1\) +-> +6 \("Far Red"\)
^  wheel 1 has no position named "Violet"$
^  StgXYClose\(\) +-> +0 \(done\)
^     simulator: scan.ClosePort\(\)
LINES
[ -f "$work/KROHW.INI" ] && [ -f "$work/STolvo.INI" ] && [ -f "$work/Excitation.TolvoFW" ] ||
    fail "the session did not write the rig's files beside the driver"
# Without --trace: no trace lines, no trace file.
no_trace() {
    ! grep -Eq '^    \| |STolvo32 |^trace file:|trace pane' "$work/out.txt" ||
        fail "trace lines without --trace"
    [ ! -e "$work/STolvoTrace.log" ] || fail "a trace file without --trace"
}
no_trace
# The waited move's wait lasts the motion model's own time: its longer axis,
# 1000 units at 10000 units/s, 100 ms by the simulator's tick count. The
# bench's clock may read a tick or two less than that; a loaded machine only
# makes the wait longer. Returning early would show as a few milliseconds.
waited=$(sed -n 's/.*wait ended after \([0-9]*\) ms and [0-9]* busy polls (1031 units.*/\1/p' "$work/out.txt" | head -n 1)
[ "$waited" -ge 80 ] && [ "$waited" -lt 2000 ] || fail "the 1031-unit move waited $waited ms"

echo "== window mode, briefly, under the null graphics driver"
bench pages --selftest
cat "$work/out.txt"
[ "$status" -eq 0 ] || fail "the window's self-test ended with $status"
expect_lines <<'LINES'
^selftest: XY stage: page shown below the list \(top 112\)$
^selftest: Focus drive: page shown below the list \(top 112\)$
^selftest: Shutter 2: page shown below the list \(top 112\)$
^selftest: Filter wheel 2: page shown below the list \(top 112\)$
^selftest: 6 devices, 0 without their page$
LINES
no_trace

echo "== a script"
cat >"$work/script.txt" <<'SCRIPT'
# the stage and a shutter
xy.init
xy.move 2000 500 wait
xy.report
shutter 0 init
shutter 0 open
shutter 0 state
wheel 0 init
wheel 0 position "DAPI"
wheel 0 report
wheel 0 position 12
sleep 50
xy.close
SCRIPT
bench run "$windows_dir\\script.txt"
cat "$work/out.txt"
[ "$status" -eq 0 ] || fail "the script ended with $status"
expect_lines <<'LINES'
^line 2: xy.init$
^  StgXYInit\(callback\) +-> +0 \(done\) .* [0-9]+\.[0-9] ms$
^line 3: xy.move 2000 500 wait$
^     stage stopped: wait ended after [0-9]+ ms and [0-9]+ busy polls \(2062 units at 10000 units/s: 206 ms\)$
^  StgXYReport +-> +0 \(done\) +x 2000, y 500
^  ShtrGetInstance\(0\) +-> +0 \(slot\)
^  ShtrGetOpen\(0\) +-> +1 \(open\)
^  FWSetPosition\(0, 1\) +-> +0 \(done\) +"DAPI"
^  FWGetPosition\(0\) +-> +1 \("DAPI"\)
^  FWSetPosition\(0, 12\) +-> +-6 \(bad position\)
^  slept [0-9]+ ms$
LINES

echo "== the trace"
printf 'xy.init\nxy.move 1000 -250 wait\nxy.report\nxy.close\n' >"$work/trace.txt"
bench --trace run "$windows_dir\\trace.txt"
cat "$work/out.txt"
[ "$status" -eq 0 ] || fail "the traced script ended with $status"
expect_lines <<'LINES'
^    \| [0-9]{2}:[0-9]{2}:[0-9]{2}\.[0-9]{3} \[[0-9]+\] > StgXYMove\(1000, -250, 1\)$
^    \| [0-9:.]+ \[[0-9]+\]   stage\.MoveXY\(1000, -250\) hr=0x00000000 .* ms$
^    \| [0-9:.]+ \[[0-9]+\] < StgXYReport = 0 \[1000, -250\]  .* ms$
^    \| [0-9:.]+ \[[0-9]+\] < StgXYClose = 0 
LINES
# Each command's lines lie between the command and its result.
line_of() { grep -n -E -m 1 -- "$1" "$work/out.txt" | cut -d: -f1; }
command=$(line_of '^line 2: xy.move 1000 -250 wait$')
export_line=$(line_of '^    \| .* > StgXYMove\(1000, -250, 1\)$')
end_line=$(line_of '^    \| .* < StgXYMove = 0 ')
result=$(line_of '^  StgXYMove\(1000, -250, 1\) +-> +0 \(done\)')
[ -n "$command" ] && [ -n "$result" ] && [ "$command" -lt "$export_line" ] &&
    [ "$export_line" -lt "$end_line" ] && [ "$end_line" -lt "$result" ] ||
    fail "the move's trace is not between its command ($command) and its result ($result)"
trace_file=$(sed -n 's/^trace file: //p' "$work/out.txt")
[ "$trace_file" = "$windows_dir\\STolvoTrace.log" ] || fail "trace file shown as \"$trace_file\""
[ -f "$work/STolvoTrace.log" ] || fail "no STolvoTrace.log beside the driver"
tr -d '\r' <"$work/STolvoTrace.log" >"$work/trace-file.txt"
dispatch=$(grep -m 1 -E '^    \| .*stage\.MoveXY\(1000, -250\) hr=0x00000000' "$work/out.txt" | sed 's/^    | //')
grep -qxF "STolvo32 $dispatch" "$work/trace-file.txt" ||
    { cat "$work/trace-file.txt"; fail "the file lacks the line: STolvo32 $dispatch"; }

echo "== the trace in the built-in session"
rm -f "$work/STolvoTrace.log"
bench --trace
[ "$status" -eq 0 ] || { cat "$work/out.txt"; fail "the traced session ended with $status"; }
expect_lines <<'LINES'
^line 2: shutter 0 init$
^    \| [0-9:.]+ \[[0-9]+\] > ShtrGetInstance\(0\)$
^    \| [0-9:.]+ \[[0-9]+\] < FWSetPosition = 0  .* ms$
^trace file: .*\\STolvoTrace\.log$
LINES
grep -q 'FWSetPosition(1, 6)' "$work/STolvoTrace.log" || fail "the session's file lacks the wheel's move"

echo "== the trace pane in window mode"
bench --prepare --trace pages --selftest
cat "$work/out.txt"
[ "$status" -eq 0 ] || fail "the window's self-test with the trace ended with $status"
expect_lines <<'LINES'
^selftest: Filter wheel 2: page shown below the list \(top 112\)$
^selftest: trace pane: [0-9]+ lines, the last page call at the end$
^selftest: 6 devices, 0 without their page$
^trace file: .*\\STolvoTrace\.log$
LINES
! grep -q '^    | ' "$work/out.txt" || fail "window mode printed trace lines"

echo "== trace options out of place"
for args in "--trace --trace" "run $windows_dir\\trace.txt --trace" "pages --trace"; do
    # shellcheck disable=SC2086
    bench $args
    [ "$status" -eq 2 ] && grep -q '^usage: tolvo-host \[--trace\]' "$work/out.txt" ||
        { cat "$work/out.txt"; fail "\"$args\" ended with $status, not the usage"; }
done

echo "== script errors"
{
    printf 'xy.init\n'
    printf 'xy.jump 1 2\n'
    printf 'xy.move 1\n'
    printf 'xy.move 1 abc\n'
    printf 'wheel 0 position "DAPI\n'
    printf 'xy.move 99999999999 0\n'
    printf 'sleep -5\n'
    printf 'xy.move 1 2 later\n'
    printf 'shutter x open\n'
    printf 'shutter 0 wobble\n'
    printf 'xy.report extra\n'
    printf 'xy\001init\n'
    printf 'x%.0s' $(seq 1 1048576)
    printf '\n'
    printf 'xy.report\n'
} >"$work/errors.txt"
bench run "$windows_dir\\errors.txt"
cat "$work/out.txt" | cut -c1-200
[ "$status" -eq 1 ] || fail "a script with errors ended with $status"
expect_lines <<'LINES'
^line 2: error: unknown command "xy.jump"
^line 3: error: xy.move: missing Y \(expected: xy.move X Y \[wait\]\)$
^line 4: error: xy.move: Y must be a whole number from -2147483648 to 2147483647, not "abc"
^line 5: error: unterminated quote starting at column 18$
^line 6: error: xy.move: X must be a whole number .*, not "99999999999"
^line 7: error: sleep: MS must lie between 0 and 60000, not -5
^line 8: error: xy.move: the word after Y may only be "wait", not "later"
^line 9: error: shutter: N must be a whole number
^line 10: error: shutter: unknown action "wobble"
^line 11: error: xy.report: unexpected "extra"
^line 12: error: control byte in "xy\\x01init"$
^line 13: error: unknown command "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx... \(1048576 bytes\)"
^  StgXYReport +-> +0 \(done\)
^12 line\(s\) with errors$
LINES

echo "== fuzzed scripts"
# Lines made of the bench's own words, numbers, quotes and random bytes.
words=(xy.init xy.move xy.step xy.report xy.close z.init z.step z.report shutter wheel position
    names open close init release sleep 0 1 -1 2 10 4294967296 -2147483649 '"' '"DAPI"' '#' wait
    "" "$(printf '\377\376')" "$(printf '\033')")
# Every byte comes from this seed, so that a failing round can be replayed;
# the C locale keeps the patterns below from depending on the user's.
fuzz_script() {
    local LC_ALL=C lines line n byte escape char
    : >"$work/fuzz.txt"
    # RANDOM only in this shell: a command substitution would draw from a
    # generator of its own.
    for ((lines = 150; lines > 0; lines--)); do
        line=""
        for ((n = RANDOM % 6; n > 0; n--)); do
            line+="${words[RANDOM % ${#words[@]}]} "
        done
        if [ $((RANDOM % 5)) -eq 0 ]; then
            # Bytes 1 to 255 but the line end; a shell variable holds no NUL.
            # Made by builtins only: a process per byte costs minutes here.
            for ((n = RANDOM % 40 + 1; n > 0; n--)); do
                byte=$((RANDOM % 254 + 1))
                ((byte < 10)) || byte=$((byte + 1))
                printf -v escape '\\%03o' "$byte"
                printf -v char "$escape"
                line+=$char
            done
        fi
        case $line in *sleep*) line="#$line" ;; esac
        printf '%s\n' "$line" >>"$work/fuzz.txt"
    done
}
seed=${HOST_BENCH_FUZZ_SEED:-4711}
echo "fuzz seed $seed (HOST_BENCH_FUZZ_SEED replays it)"
RANDOM=$seed
for round in 1 2 3; do
    fuzz_script
    bench run "$windows_dir\\fuzz.txt"
    [ "$status" -eq 0 ] || [ "$status" -eq 1 ] ||
        { tail -n 20 "$work/out.txt"; fail "fuzz round $round ended with $status"; }
    grep -q "^line 150" "$work/out.txt" || ! grep -qv '^[[:space:]]*\(#.*\)\?$' <(tail -n 1 "$work/fuzz.txt") ||
        fail "fuzz round $round stopped before its last line"
    echo "fuzz round $round: status $status, $(grep -c ': error:' "$work/out.txt") error lines"
done
echo "PASS"
