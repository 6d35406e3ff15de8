#!/usr/bin/env bash
# Tries a package as an integrator would, in a new Wine prefix of its own:
#   zip        unpack the ZIP into an empty folder, register the simulator with
#              the package's script, run the session program from there;
#   installer  install into an empty folder (the simulator, the bench and the
#              samples come by default), edit the sample settings, uninstall,
#              and only the edited settings are left; then
#              into a host's folder that already holds a host's files: an older
#              version by default (the driver only), then this one over it
#              with the simulator's registration; the bench run there changes
#              no file; a sample the user edited, and every file the user
#              made, stays after the uninstall.
#
# Usage: package_test.sh zip|installer BUILD_DIR PACKAGE_BASE SESSION_PROGRAM OLDER_BASE
# where PACKAGE_BASE and OLDER_BASE are the paths of this package and of an
# older installer of it without .zip or .exe.
set -euo pipefail
kind=$1
build=$2
package=$3
session=$4
older=${5:-}
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

# Runs the session program of the folder (a Windows path), which loads a copy
# of the driver beside it in a scratch folder of its own, and checks that
# every device family worked against the simulator.
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
^rig folder: .* \(a scratch folder: no file beside tolvo-host.exe is written\)$
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

# Every file under a folder with its checksum.
folder_state() {
    (cd "$1" && find . -type f -print0 | sort -z | xargs -0 -r sha1sum)
}

# Runs the installer or uninstaller and waits for the uninstaller, which runs
# from a copy in the temporary folder and returns at once; its last steps
# delete itself and its entry in the installed programs.
uninstall() {
    local folder=$1 unix=$2
    wine "$folder\\STolvo32-uninstall.exe" /S
    for _ in $(seq 1 240); do
        if [ ! -e "$unix/STolvo32-uninstall.exe" ] && ! wine reg query \
            'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\STolvo32' >/dev/null 2>&1; then
            return 0
        fi
        sleep 0.5
    done
    fail "the uninstaller did not finish"
}

installed_version() {
    wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\STolvo32' \
        /v DisplayVersion | tr -d '\r' | sed -n 's/.*REG_SZ[[:space:]]*//p'
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
    [ -f "$older.exe" ] || fail "no older installer at $older.exe"
    version=$(basename "$package" | cut -d- -f2)
    older_version=$(basename "$older" | cut -d- -f2)

    echo "== an empty folder: the simulator, the bench and the samples by default"
    trial="$drive_c/TrialHost"
    mkdir "$trial"
    wine "$package.exe" /S '/D=C:\TrialHost' || fail "the installer ended with an error"
    for f in STolvo32.dll TolvoSim.dll QXUTIL32.dll "$session" register-simulator.cmd \
        STolvo32-uninstall.exe KROHW.INI STolvo.INI Excitation.TolvoFW Emission.TolvoFW; do
        expect_file "$trial/$f"
    done
    [ -z "$(scan_server)" ] || fail "the simulator was registered without /REGISTER"
    # The record holds the hash of each file that the folder may keep.
    tr -d '\r' <"$trial/STolvo32/installed.ini" >"$work/record.txt"
    for f in KROHW.INI STolvo.INI Excitation.TolvoFW Emission.TolvoFW QXUTIL32.dll; do
        hash=$(sha1sum "$trial/$f" | cut -d' ' -f1)
        grep -qix "$f=$hash" "$work/record.txt" || { cat "$work/record.txt"; fail "no hash of $f"; }
    done
    # The user changes the sample settings (a page would rewrite them).
    printf '[Tolvo Stage]\r\nPort=3\r\n' >>"$trial/STolvo.INI"
    cp "$trial/STolvo.INI" "$work/STolvo.edited"
    uninstall 'C:\TrialHost' "$trial"
    left=$(cd "$trial" && find . | sort | tr '\n' ' ')
    [ "$left" = ". ./STolvo.INI " ] || fail "left in the folder: $left"
    cmp "$trial/STolvo.INI" "$work/STolvo.edited" || fail "the edited settings changed"

    echo "== a host's folder: the older version, the driver only"
    host="$drive_c/ImagingHost"
    mkdir "$host"
    # What the host's folder held before: its hardware file, its utility
    # library, the driver's settings of an earlier installation and a set.
    printf '[Focus]\r\nModule=Other.dll\r\n[Shutter1]\r\nModule=STolvo32.dll\r\n' >"$host/KROHW.INI"
    printf '[Tolvo Stage]\r\nPort=2\r\nDefaultAll=0\r\n[Shutter1]\r\nName=Epi\r\nShutterNumber=0\r\n' \
        >"$host/STolvo.INI"
    printf '[FilterWheel1]\r\nPosition1Name=Mine\r\n' >"$host/Excitation.TolvoFW"
    cp "$build/hostlib-cdecl/QXUTIL32.dll" "$host/QXUTIL32.dll"
    before=$(cd "$host" && ls)
    wine "$older.exe" /S '/D=C:\ImagingHost' || fail "the older installer ended with an error"
    [ "$(installed_version)" = "$older_version" ] || fail "installed $(installed_version)"
    expect_file "$host/STolvo32.dll"
    for f in TolvoSim.dll "$session" register-simulator.cmd Emission.TolvoFW; do
        [ ! -e "$host/$f" ] || fail "$f was installed into a host's folder by default"
    done

    echo "== the user's files of the older version"
    # The user works with the driver: a set, a name list, settings.
    printf '[FilterWheel1]\r\nPosition1Name=User\r\n' >"$host/User Set.TolvoFW"
    printf '[Filters]\r\nName0=DAPI\r\n' >"$host/KROFWLST.INI"
    printf '[FilterWheel1]\r\nName=User Set\r\n' >>"$host/STolvo.INI"
    users_files=$(cd "$host" && sha1sum KROHW.INI STolvo.INI Excitation.TolvoFW "User Set.TolvoFW" \
        KROFWLST.INI QXUTIL32.dll)

    echo "== this version over it, with the simulator's registration"
    wine "$package.exe" /S /REGISTER '/D=C:\ImagingHost' || fail "the installer ended with an error"
    [ "$(installed_version)" = "$version" ] || fail "installed $(installed_version), not $version"
    for f in STolvo32.dll TolvoSim.dll "$session" register-simulator.cmd STolvo32-uninstall.exe \
        Emission.TolvoFW STolvo32/README.md STolvo32/include/STolvo32.h STolvo32/docs/install.md \
        STolvo32/docs/trace.md STolvo32/samples/STolvo.INI unregister-simulator.cmd \
        STolvo32/lib/STolvo32.lib STolvo32/samples/move_stage.vbs STolvo32/LICENSE; do
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
    cmp "$host/Emission.TolvoFW" "$build/packaging/samples/Emission.TolvoFW" ||
        fail "Emission.TolvoFW is not the sample"
    [ "$(cd "$host" && sha1sum KROHW.INI STolvo.INI Excitation.TolvoFW "User Set.TolvoFW" \
        KROFWLST.INI QXUTIL32.dll)" = "$users_files" ] || fail "the upgrade changed the user's files"
    location=$(wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\STolvo32' \
        /v InstallLocation | tr -d '\r' | sed -n 's/.*REG_SZ[[:space:]]*//p')
    [ "$location" = 'C:\ImagingHost' ] || fail "installed programs list '$location'"
    server=$(scan_server)
    [ "${server,,}" = 'c:\imaginghost\tolvosim.dll' ] ||
        fail "tolvo.scan is served by '$server', not the installed simulator"

    echo "== the bench in the host's folder changes no file there"
    state=$(folder_state "$host")
    run_session 'C:\ImagingHost' "$host"
    (cd "$host" && wine 'C:\ImagingHost\'"$session" pages --selftest) >"$work/pages.txt" 2>&1 ||
        { cat "$work/pages.txt"; fail "the window's self-test ended with an error"; }
    tr -d '\r' <"$work/pages.txt" | grep -E '^selftest: [0-9]+ devices, 0 without their page$' ||
        { cat "$work/pages.txt"; fail "the window's self-test found pages missing"; }
    [ "$(folder_state "$host")" = "$state" ] || {
        diff <(echo "$state") <(folder_state "$host")
        fail "the bench changed files in the host's folder"
    }

    echo "== uninstall keeps what the user made or changed"
    # A sample the user edited, and a trace file.
    printf '[FilterWheel2]\r\nPosition1Name=Edited\r\n' >>"$host/Emission.TolvoFW"
    cp "$host/Emission.TolvoFW" "$work/Emission.edited"
    printf 'trace\r\n' >"$host/STolvoTrace.log"
    uninstall 'C:\ImagingHost' "$host"
    after=$(cd "$host" && ls | tr '\n' ' ')
    echo "left in the host's folder: $after"
    expected=$( (echo "$before"; printf '%s\n' Emission.TolvoFW KROFWLST.INI STolvoTrace.log "User Set.TolvoFW") |
        sort | tr '\n' ' ')
    [ "$after" = "$expected" ] || fail "the folder holds '$after', not '$expected'"
    [ "$(cd "$host" && sha1sum KROHW.INI STolvo.INI Excitation.TolvoFW "User Set.TolvoFW" \
        KROFWLST.INI QXUTIL32.dll)" = "$users_files" ] || fail "the uninstaller changed the user's files"
    cmp "$host/Emission.TolvoFW" "$work/Emission.edited" || fail "the edited sample changed"
    [ -z "$(scan_server)" ] || fail "tolvo.scan is still registered"
    ;;

*)
    fail "unknown package kind $kind"
    ;;
esac
echo "PASS: $kind"
