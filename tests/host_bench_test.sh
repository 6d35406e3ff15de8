#!/usr/bin/env bash
# The host bench end to end, in the tests' prefix with the simulator
# registered: the built-in session, a script with expected lines, every kind
# of script error with its line number, and fuzzed scripts that must never
# crash the bench.
#
# The window mode's self-test selects each device of the rig, checks its
# page below the list, applies, probes the servers and closes.
#
# probe: the servers' check needs neither the driver nor the rig, opens a port
# only when asked, and writes its report where it says.
#
# --trace: the driver's trace lines under each command, in the file beside the
# driver, and in the window's pane; without it, none of them.
#
# The rig: by default a scratch folder of the bench's own, with copies of the
# driver and of the configuration beside the bench, which stays byte for byte
# as it was; --in-place works on the files beside the bench.
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
    sed -n 's/^rig folder: \(.*\\\) (a scratch.*/\1/p' "$work/out.txt" >>"$work/rigs.txt"
}

# A Windows path on drive C: of the tests' prefix as a Unix path.
unix_path() {
    local path=${1#[Cc]:\\}
    echo "$build/wineprefix/drive_c/${path//\\//}"
}

# The rig folder the last run printed, as a Unix path.
rig_folder() {
    local folder
    folder=$(sed -n 's/^rig folder: \(.*\\\) (.*/\1/p' "$work/out.txt")
    [ -n "$folder" ] || fail "no rig folder printed"
    unix_path "$folder"
}

# The scratch folders of the runs go when the test ends.
: >"$work/rigs.txt"
remove_rigs() {
    local folder
    while IFS= read -r folder; do
        rm -rf "$(unix_path "$folder")"
    done <"$work/rigs.txt"
}
trap remove_rigs EXIT

# Every file of the bench's folder with its checksum, but the test's own and
# the probe's folder.
folder_state() {
    (cd "$work" && find . -path ./probe -prune -o -type f ! -name 'out.txt' ! -name '*.tmp' \
        ! -name '*.txt' -print0 |
        sort -z | xargs -0 sha1sum)
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
^rig folder: .*\\tolvo-host-[0-9]+-[0-9]+\\ \(a scratch folder: no file beside tolvo-host.exe is written\)$
LINES
rig=$(rig_folder)
[ -f "$rig/KROHW.INI" ] && [ -f "$rig/STolvo.INI" ] && [ -f "$rig/Excitation.TolvoFW" ] &&
    [ -f "$rig/STolvo32.dll" ] || fail "the session did not write the rig's files in $rig"
[ ! -e "$work/KROHW.INI" ] && [ ! -e "$work/STolvo.INI" ] && [ ! -e "$work/Excitation.TolvoFW" ] ||
    fail "the session wrote the rig's files beside the bench"
# Without --trace: no trace lines, no trace file.
no_trace() {
    ! grep -Eq '^    \| |STolvo32 |^trace file:|trace pane' "$work/out.txt" ||
        fail "trace lines without --trace"
    [ ! -e "$work/STolvoTrace.log" ] && [ ! -e "$(rig_folder)/STolvoTrace.log" ] ||
        fail "a trace file without --trace"
}
no_trace
# The waited move's wait lasts the motion model's own time: its longer axis,
# 1000 units at 10000 units/s, 100 ms by the simulator's tick count. The
# bench's clock may read a tick or two less than that; a loaded machine only
# makes the wait longer. Returning early would show as a few milliseconds.
waited=$(sed -n 's/.*wait ended after \([0-9]*\) ms and [0-9]* busy polls (1031 units.*/\1/p' "$work/out.txt" | head -n 1)
[ "$waited" -ge 80 ] && [ "$waited" -lt 2000 ] || fail "the 1031-unit move waited $waited ms"

echo "== the rig in place, asked for"
bench --in-place
[ "$status" -eq 0 ] || { cat "$work/out.txt"; fail "the session in place ended with $status"; }
expect_lines <<'LINES'
^rig folder: .* \(in place: the driver writes its files here\)$
^  FWGetPosition\(1\) +-> +6 \("Far Red"\)
LINES
[ -f "$work/KROHW.INI" ] && [ -f "$work/STolvo.INI" ] && [ -f "$work/Excitation.TolvoFW" ] ||
    fail "the session in place did not write the rig's files beside the bench"
# From here on the bench's folder holds a host's files: no run without
# --in-place may change them.
before=$(folder_state)

echo "== window mode, briefly, under the null graphics driver"
bench pages --selftest
cat "$work/out.txt"
[ "$status" -eq 0 ] || fail "the window's self-test ended with $status"
expect_lines <<'LINES'
^selftest: XY stage: page shown below the list \(top 112\)$
^selftest: Focus drive: page shown below the list \(top 112\)$
^selftest: Shutter 2: page shown below the list \(top 112\)$
^selftest: Filter wheel 2: page shown below the list \(top 112\)$
^selftest: probe: verdict: every export would work with these servers$
^selftest: 6 devices, 0 without their page$
LINES
no_trace
# The Probe button writes its report in the rig's folder, beside the driver's
# files, and nowhere else.
grep -q '^verdict: every export would work' "$(rig_folder)/tolvo-probe.txt" ||
    fail "the Probe button wrote no report in the rig's folder"
[ ! -e "$PWD/tolvo-probe.txt" ] && [ ! -e "$work/tolvo-probe.txt" ] ||
    fail "the Probe button wrote a report outside the rig's folder"

echo "== the probe, from a folder with the bench alone"
probe_dir="$work/probe"
mkdir -p "$probe_dir"
cp "$build/bin/tolvo-host.exe" "$probe_dir/"
# Runs the probe with its options in $probe_dir; output as bench() gives it.
probe() {
    status=0
    (cd "$probe_dir" && env -u STOLVO_TRACE "$build/wine-run" "$probe_dir/tolvo-host.exe" probe "$@") \
        >"$work/out.txt" 2>&1 </dev/null || status=$?
    tr -d '\r' <"$work/out.txt" >"$work/out.tmp" && mv "$work/out.tmp" "$work/out.txt"
}
probe --out "$windows_dir\\probe report.txt"
cat "$work/out.txt"
[ "$status" -eq 0 ] || fail "the probe of the simulator ended with $status"
expect_lines <<'LINES'
^== tolvo\.scan$
^ok +tolvo\.scan: in-process server .*\\TolvoSim\.dll \(threading model Apartment\)$
^ok +tolvo\.Z: bound to a new instance .*, served in this process$
^ok +focus\.StepNegative \(DISPID 16, method\): 1 argument\(s\) VT_R8 as the driver sends them$
^ok +call scan\.GetBusy: busy 0 \(VT_I4 through the reference\)$
^skipped +call scan\.LinkValue: not read
^summary: 46 checks: 45 ok, 0 differ harmlessly, 0 differ so that an export fails, 0 missing, 1 skipped$
^verdict: every export would work with these servers$
LINES
grep -qxF "report written to $windows_dir\\probe report.txt" "$work/out.txt" ||
    fail "the probe did not say where its report went"
tr -d '\r' <"$work/probe report.txt" >"$work/report.txt"
grep -v '^report written to ' "$work/out.txt" | cmp -s - "$work/report.txt" ||
    fail "the report file differs from what the probe printed"
[ "$(ls "$probe_dir")" = "tolvo-host.exe" ] || fail "the probe wrote files beside itself: $(ls "$probe_dir")"

probe --open-port 2
[ "$status" -eq 0 ] || { cat "$work/out.txt"; fail "the probe with --open-port ended with $status"; }
expect_lines <<'LINES'
^ok +call scan\.OpenPort\(2\): status 0: the link is open$
^ok +call scan\.LinkValue: 1 as VT_R4$
^ok +call scan\.ClosePort: the link is closed again$
LINES
# Without --out: tolvo-probe.txt in the current folder.
grep -q "^report written to .*\\\\probe\\\\tolvo-probe\.txt$" "$work/out.txt" &&
    [ -f "$probe_dir/tolvo-probe.txt" ] || { cat "$work/out.txt"; fail "no tolvo-probe.txt in the current folder"; }

for args in "--open-port" "--open-port COM1" "--out" "--frobnicate" "--out a --out b"; do
    # shellcheck disable=SC2086
    probe $args
    [ "$status" -eq 2 ] && grep -q '^usage:' "$work/out.txt" && grep -q 'tolvo-host probe \[--open-port N\] \[--out FILE\]' "$work/out.txt" ||
        { cat "$work/out.txt"; fail "probe $args ended with $status, not the usage"; }
done
bench frobnicate
grep -q 'tolvo-host probe \[--open-port N\] \[--out FILE\]' "$work/out.txt" || fail "the bench's usage does not name the probe"

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

[ "$(folder_state)" = "$before" ] || fail "a script changed the files beside the bench"

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
rig_windows=$(sed -n 's/^rig folder: \(.*\\\) (.*/\1/p' "$work/out.txt")
[ "$trace_file" = "${rig_windows}STolvoTrace.log" ] || fail "trace file shown as \"$trace_file\""
rig=$(rig_folder)
[ -f "$rig/STolvoTrace.log" ] || fail "no STolvoTrace.log beside the driver"
[ ! -e "$work/STolvoTrace.log" ] || fail "a trace file beside the bench"
tr -d '\r' <"$rig/STolvoTrace.log" >"$work/trace-file.txt"
dispatch=$(grep -m 1 -E '^    \| .*stage\.MoveXY\(1000, -250\) hr=0x00000000' "$work/out.txt" | sed 's/^    | //')
grep -qxF "STolvo32 $dispatch" "$work/trace-file.txt" ||
    { cat "$work/trace-file.txt"; fail "the file lacks the line: STolvo32 $dispatch"; }

echo "== the trace in the built-in session"
bench --trace
[ "$status" -eq 0 ] || { cat "$work/out.txt"; fail "the traced session ended with $status"; }
expect_lines <<'LINES'
^line 2: shutter 0 init$
^    \| [0-9:.]+ \[[0-9]+\] > ShtrGetInstance\(0\)$
^    \| [0-9:.]+ \[[0-9]+\] < FWSetPosition = 0  .* ms$
^trace file: .*\\STolvoTrace\.log$
LINES
grep -q 'FWSetPosition(1, 6)' "$(rig_folder)/STolvoTrace.log" ||
    fail "the session's file lacks the wheel's move"

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
    [ "$status" -eq 2 ] && grep -q '^usage: tolvo-host \[--in-place\] \[--trace\]' "$work/out.txt" ||
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
echo "== the command line: --help, named errors, unreadable scripts"
# Standard output and standard error apart, for the help and the errors.
bench_apart() {
    status=0
    env -u STOLVO_TRACE "$build/wine-run" "$work/tolvo-host.exe" "$@" >"$work/stdout.txt" \
        2>"$work/stderr.txt" </dev/null || status=$?
    sed -i 's/\r$//' "$work/stdout.txt" "$work/stderr.txt"
}
bench_apart --help
[ "$status" -eq 0 ] || fail "--help ended with $status"
[ ! -s "$work/stderr.txt" ] || { cat "$work/stderr.txt"; fail "--help wrote to standard error"; }
for want in '^usage: tolvo-host \[--in-place\] \[--trace\] \[--strict\]$' '^  --strict ' '^  run FILE ' \
    '^  wheel N init' '^exit status: 0 done'; do
    grep -Eq -- "$want" "$work/stdout.txt" || { cat "$work/stdout.txt"; fail "--help lacks: $want"; }
done
while IFS='|' read -r args want; do
    # shellcheck disable=SC2086
    bench_apart $args
    [ "$status" -eq 2 ] && grep -Fq -- "$want" "$work/stderr.txt" ||
        { cat "$work/stderr.txt"; fail "\"$args\" ended with $status, without: $want"; }
done <<'CASES'
jump|tolvo-host: unknown mode "jump" (modes: run, pages
--frobnicate run x|tolvo-host: unknown option "--frobnicate"
--strict --strict|tolvo-host: "--strict" given twice
run|tolvo-host: run: missing FILE
pages --select x|tolvo-host: pages: --select needs one whole number
CASES
for missing in "$windows_dir\\no-such-script.txt" "Z:\\no\\such\\folder\\script.txt" "$windows_dir"; do
    bench_apart run "$missing"
    reason=$(sed -n "s/^tolvo-host: cannot open $(printf '%s' "$missing" | sed 's/[\\.]/\\&/g'): //p" \
        "$work/stderr.txt")
    [ "$status" -eq 2 ] && [ -n "$reason" ] ||
        { cat "$work/stderr.txt"; fail "an unreadable script ($missing) ended with $status, reason '$reason'"; }
    echo "cannot open $missing: $reason"
done

echo "== --strict, comments and the closing summary"
cat >"$work/strict.txt" <<'SCRIPT'
# a move, then a wheel position that does not exist
xy.init
xy.move 2000 500 wait   # waited: the journal keeps the move
wheel 0 init
wheel 0 position 12
xy.close
SCRIPT
bench run "$windows_dir\\strict.txt"
[ "$status" -eq 0 ] || { cat "$work/out.txt"; fail "without --strict the script ended with $status"; }
expect_lines <<'LINES'
^line 1: # a move, then a wheel position that does not exist$
^line 3: xy\.move 2000 500 wait  # waited: the journal keeps the move$
^     simulator: stage\.MoveXY\(2000,500\)  wait$
^  FWSetPosition\(0, 12\) +-> +-6 \(bad position\)
^summary: [0-9]+ driver call\(s\), 1 not done, 0 line\(s\) with errors, [0-9]+\.[0-9] ms$
LINES
calls=$(grep -c -- '->' "$work/out.txt")
grep -q "^summary: $calls driver call(s)," "$work/out.txt" ||
    { cat "$work/out.txt"; fail "the summary does not count the $calls calls printed"; }
bench --strict run "$windows_dir\\strict.txt"
[ "$status" -eq 1 ] || { cat "$work/out.txt"; fail "--strict with a failed call ended with $status"; }
sed -i '/position 12/d' "$work/strict.txt"
bench --strict run "$windows_dir\\strict.txt"
[ "$status" -eq 0 ] || { cat "$work/out.txt"; fail "--strict without a failed call ended with $status"; }
grep -Eq '^summary: [0-9]+ driver call\(s\), 0 not done, 0 line\(s\) with errors' "$work/out.txt" ||
    { cat "$work/out.txt"; fail "no summary of a clean run"; }

[ "$(folder_state)" = "$before" ] || fail "the runs changed the files beside the bench"
echo "PASS"
