#!/usr/bin/env bash
# Tries a package as an integrator would, in a new Wine prefix of its own:
#   zip        unpack the ZIP into an empty folder, register the simulator with
#              the package's script, run the session program from there;
#   installer  install silently (with the simulator's registration) into a
#              host folder that already holds settings and a host library of
#              its own, run the session program, then uninstall.
#
# Usage: package_test.sh zip|installer BUILD_DIR PACKAGE_BASE SESSION_PROGRAM
# where PACKAGE_BASE is the packages' path without .zip or .exe.
set -euo pipefail
kind=$1
build=$2
package=$3
session=$4
name=$(basename "$package")

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# A new prefix under the build tree, not the tests' shared one.
work="$build/package-tests/$kind"
rm -rf "$work"
mkdir -p "$work"
export WINE_BUILD_DIR="$work"
. "$(dirname "$0")/../scripts/wine-env.sh"
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
drive_c="$WINEPREFIX/drive_c"

# The registered in-process server of tolvo.scan, or nothing.
scan_server() {
    local clsid
    clsid=$(wine reg query 'HKLM\Software\Classes\tolvo.scan\CLSID' /ve 2>/dev/null |
        grep -o '{[^}]*}' | head -n 1) || true
    [ -n "$clsid" ] || return 0
    wine reg query "HKLM\\Software\\Classes\\CLSID\\$clsid\\InprocServer32" /ve 2>/dev/null |
        tr -d '\r' | sed -n 's/.*REG_SZ[[:space:]]*//p'
}

expect_file() {
    [ -f "$1" ] || fail "missing $1"
}

# The words of a Markdown file's code: fenced blocks and inline spans, which
# may run over a line end.
code_words() {
    /usr/bin/python3 - "$1" <<'PY'
import re, sys
text = open(sys.argv[1], encoding="utf-8").read()
fences = re.findall(r"^```[^\n]*\n(.*?)^```", text, re.S | re.M)
rest = re.sub(r"^```[^\n]*\n.*?^```", "", text, flags=re.S | re.M)
spans = re.findall(r"`([^`]+)`", rest)
for word in re.split(r"[\s,]+", " ".join(fences + spans)):
    if word:
        print(word)
PY
}

# Every file the shipped README names is in the package whose top folder is
# $1: its relative links (beside the README, in STolvo32\), and in its code
# spans every name of a file the packages ship by kind (.dll .exe .cmd .vbs .h
# .lib .a .def .md; settings and logs are the driver's own doing) or of a
# folder: a Windows path from the top folder, a bare name anywhere in the
# package (a name with a <placeholder>, such as the packages' own, is none).
readme_names_ship() {
    local top=$1 readme="$1/STolvo32/README.md" target name path found=0
    expect_file "$readme"
    while IFS= read -r target; do
        target=${target%%#*}
        [ -n "$target" ] || continue
        [ -e "$top/STolvo32/$target" ] || fail "the README links $target, which the package lacks"
        found=$((found + 1))
    done < <(grep -o '](\([^)]*\))' "$readme" | sed 's/^](\(.*\))$/\1/' | grep -v '^[a-z]*://')
    while IFS= read -r name; do
        if [[ $name == *\\* ]]; then
            path="$top/${name//\\//}"
            [ -e "$path" ] || fail "the README names $name, which the package lacks"
        else
            [ -n "$(find "$top" -name "$name" -print -quit)" ] ||
                fail "the README names $name, which the package lacks"
        fi
        found=$((found + 1))
    done < <(code_words "$readme" | grep -E '(\.(dll|exe|cmd|vbs|h|lib|a|def|md)|\\)$' |
        grep -v '<' | sort -u)
    echo "the README names $found files and folders, all in the package"
    [ "$found" -ge 20 ] || fail "only $found names found in the README: is the check still reading it?"
}

# The version of the whole build, in the package's name, the installed
# programs' list and the installer's own version record.
version=${name#STolvo32-}
version=${version%-win32}

# Runs the session program of the folder (a Windows path), which loads the
# driver beside it, and checks that every device family worked against the
# simulator.
run_session() {
    local folder=$1 unix=$2 output="$work/session.txt"
    (cd "$unix" && wine "$folder\\$session") >"$output" 2>&1 ||
        { cat "$output"; fail "$session ended with an error"; }
    tr -d '\r' <"$output" >"$output.tmp" && mv "$output.tmp" "$output"
    cat "$output"
    local line
    while IFS= read -r line; do
        grep -Eq -- "$line" "$output" || fail "the session printed no line like: $line"
    done <<'LINES'
^simulator: TolvoSim.dll in process
^  ShtrInit\(0, callback\) +-> +0 \(done\)
^     simulator: scan\.OpenPort
^  ShtrGetName\(1\) +-> +0 \(done\) +"Transmitted"
^  StgXYInit\(callback\) +-> +0 \(done\)
^  StgXYMove\(1000, -250, 1\) +-> +0 \(done\)
^     stage stopped: wait ended after [0-9]+ ms
^  StgXYReport +-> +0 \(done\) +x 1100, y -150
^  StgZInit\(callback\) +-> +0 \(done\)
^  StgZReport +-> +0 \(done\) +z 5
^     simulator: filter\.HomeWheel\(1\)
^  FWGetPosition\(1\) +-> +6 \("Far Red"\)
^  StgXYClose\(\) +-> +0 \(done\)
^     simulator: scan\.ClosePort\(\)
LINES
    ! grep -E -- '-> +-[0-9]' "$output" || fail "a call in the session returned an error code"
}

case $kind in
zip)
    host="$drive_c/Host"
    mkdir "$host"
    (cd "$host" && cmake -E tar xf "$package.zip")
    unpacked="$host/$name"
    for f in STolvo32.dll TolvoSim.dll QXUTIL32.dll "$session" register-simulator.cmd \
        STolvo32/README.md STolvo32/include/STolvo32.h STolvo32/docs/install.md \
        STolvo32/docs/trace.md STolvo32/docs/reference.md \
        STolvo32/samples/KROHW.INI STolvo32/samples/STolvo.INI \
        STolvo32/samples/Excitation.TolvoFW STolvo32/samples/Emission.TolvoFW \
        unregister-simulator.cmd STolvo32/samples/move_stage.vbs STolvo32/lib/libSTolvo32.a \
        STolvo32/lib/STolvo32.lib STolvo32/lib/STolvo32.def STolvo32/LICENSE \
        STolvo32/CHANGELOG.md STolvo32/DEVELOPING.md; do
        expect_file "$unpacked/$f"
    done
    readme_names_ship "$unpacked"
    for f in libSTolvo32.a STolvo32.lib STolvo32.def; do
        cmp "$unpacked/STolvo32/lib/$f" "$build/sdk/$f" || fail "the ZIP holds another $f"
    done
    grep -q "^## $version " "$unpacked/STolvo32/CHANGELOG.md" ||
        fail "CHANGELOG.md has no entry for $version"
    cmp "$unpacked/STolvo32.dll" "$build/bin/STolvo32.dll" || fail "the ZIP holds another driver"
    [ -z "$(scan_server)" ] || fail "the new prefix already has tolvo.scan"

    wine cmd /c "C:\\Host\\$name\\register-simulator.cmd" | tr -d '\r' | tee "$work/register.txt"
    grep -q 'TolvoSim.dll is registered' "$work/register.txt" || fail "registration failed"
    server=$(scan_server)
    [ "${server,,}" = "c:\\host\\${name,,}\\tolvosim.dll" ] ||
        fail "tolvo.scan is served by '$server', not the unpacked simulator"

    run_session "C:\\Host\\$name" "$unpacked"

    # The scripting sample as shipped, then the registration taken back.
    wine cscript //nologo "C:\\Host\\$name\\STolvo32\\samples\\move_stage.vbs" </dev/null |
        tr -d '\r' | tee "$work/vbs.txt"
    grep -qx 'after MoveXY 100, 200: x = 100, y = 200 (busy polls: 1)' "$work/vbs.txt" ||
        fail "the shipped move_stage.vbs did not move the simulated stage"
    wine cmd /c "C:\\Host\\$name\\unregister-simulator.cmd" | tr -d '\r' | tee "$work/unregister.txt"
    grep -q 'TolvoSim.dll is no longer registered' "$work/unregister.txt" || fail "unregistration failed"
    [ -z "$(scan_server)" ] || fail "tolvo.scan is still registered after unregister-simulator.cmd"
    ;;

installer)
    host="$drive_c/ImagingHost"
    mkdir "$host"
    # What the host's folder held before: its own settings and host library.
    printf '[Host]\r\nMarker=kept\r\n' >"$host/STolvo.INI"
    cp "$build/hostlib-cdecl/QXUTIL32.dll" "$host/QXUTIL32.dll"
    cp "$host/STolvo.INI" "$work/STolvo.INI.before"
    before=$(cd "$host" && ls)

    wine "$package.exe" /S /REGISTER '/D=C:\ImagingHost' || fail "the installer ended with an error"
    for f in STolvo32.dll TolvoSim.dll "$session" register-simulator.cmd STolvo32-uninstall.exe \
        KROHW.INI Excitation.TolvoFW Emission.TolvoFW STolvo32/README.md \
        STolvo32/include/STolvo32.h STolvo32/docs/install.md STolvo32/docs/trace.md \
        STolvo32/samples/STolvo.INI unregister-simulator.cmd STolvo32/lib/STolvo32.lib \
        STolvo32/samples/move_stage.vbs STolvo32/LICENSE; do
        expect_file "$host/$f"
    done
    readme_names_ship "$host"
    # The installer's version record (UTF-16 strings) and the programs list.
    strings -el "$package.exe" | grep -qx "$version" ||
        fail "the installer's version record lacks $version"
    shown=$(wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\STolvo32' \
        /v DisplayVersion | tr -d '\r' | sed -n 's/.*REG_SZ[[:space:]]*//p')
    [ "$shown" = "$version" ] || fail "installed programs show version '$shown', not $version"
    cmp "$host/STolvo32.dll" "$build/bin/STolvo32.dll" || fail "another driver was installed"
    for f in KROHW.INI Excitation.TolvoFW Emission.TolvoFW; do
        cmp "$host/$f" "$build/packaging/samples/$f" || fail "$f is not the sample"
    done
    cmp "$host/STolvo.INI" "$work/STolvo.INI.before" || fail "the folder's STolvo.INI was replaced"
    cmp "$host/QXUTIL32.dll" "$build/hostlib-cdecl/QXUTIL32.dll" ||
        fail "the folder's QXUTIL32.dll was replaced"
    location=$(wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\STolvo32' \
        /v InstallLocation | tr -d '\r' | sed -n 's/.*REG_SZ[[:space:]]*//p')
    [ "$location" = 'C:\ImagingHost' ] || fail "installed programs list '$location'"
    server=$(scan_server)
    [ "${server,,}" = 'c:\imaginghost\tolvosim.dll' ] ||
        fail "tolvo.scan is served by '$server', not the installed simulator"

    run_session 'C:\ImagingHost' "$host"

    # The uninstaller runs from a copy in the temporary folder and returns at
    # once; its last steps delete itself and its entry in the installed programs.
    wine 'C:\ImagingHost\STolvo32-uninstall.exe' /S
    for _ in $(seq 1 240); do
        if [ ! -e "$host/STolvo32-uninstall.exe" ] && ! wine reg query \
            'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\STolvo32' >/dev/null 2>&1; then
            break
        fi
        sleep 0.5
    done
    after=$(cd "$host" && ls)
    echo "left in the host's folder: $(echo $after)"
    [ "$after" = "$before" ] || fail "the folder held '$(echo $before)' before, '$(echo $after)' after"
    grep -q 'Marker=kept' "$host/STolvo.INI" || fail "the folder's own STolvo.INI lost its keys"
    cmp "$host/QXUTIL32.dll" "$build/hostlib-cdecl/QXUTIL32.dll" ||
        fail "the folder's QXUTIL32.dll changed"
    [ -z "$(scan_server)" ] || fail "tolvo.scan is still registered"
    ;;

*)
    fail "unknown package kind $kind"
    ;;
esac
echo "PASS: $kind"
