# Sourced with WINE_BUILD_DIR set: points Wine at the build tree's private
# prefix, creates that prefix on first use and keeps a wineserver alive so that
# each program starts quickly. Never touches ~/.wine.
export WINEPREFIX="$WINE_BUILD_DIR/wineprefix"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win32

if [ ! -f "$WINEPREFIX/.ready" ]; then
    rm -rf "$WINEPREFIX"
    wine wineboot -i >/dev/null 2>&1
    wineserver -w
    # Dialogs work without an X display with the null graphics driver, and a
    # crash must not wait for somebody to click a dialog away.
    cat >>"$WINEPREFIX/user.reg" <<'REG'

[Software\\Wine\\Drivers]
"Graphics"="null"

[Software\\Wine\\WineDbg]
"ShowCrashDialog"=dword:00000000
REG
    touch "$WINEPREFIX/.ready"
fi
# No program run here may reach the machine's serial or printer ports: a file
# named COM1 or LPT1 (any extension, any folder) opens the device, and Wine's
# mount manager links com1 to the first serial port. COM1-COM9 and LPT1-LPT9
# become plain files under ports/; the mount manager then gives a real port
# the next free number (com10 and up), a name no file name reaches.
# A program that deletes such a name deletes the file: it is made again here.
mkdir -p "$WINEPREFIX/ports"
for n in 1 2 3 4 5 6 7 8 9; do
    for port in "com$n" "lpt$n"; do
        [ -e "$WINEPREFIX/ports/$port" ] || : >"$WINEPREFIX/ports/$port"
    done
done
if [ ! -f "$WINEPREFIX/.ports" ]; then
    {
        printf 'REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Wine\\Ports]\r\n'
        for n in 1 2 3 4 5 6 7 8 9; do
            printf '"COM%s"="%s"\r\n"LPT%s"="%s"\r\n' "$n" "$WINEPREFIX/ports/com$n" \
                "$n" "$WINEPREFIX/ports/lpt$n"
        done
    } >"$WINEPREFIX/ports/ports.reg"
    reg_file="Z:${WINEPREFIX//\//\\}\\ports\\ports.reg"
    wine regedit /s "$reg_file" </dev/null >/dev/null 2>&1
    # The mount manager reads the ports when Wine starts.
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w
    touch "$WINEPREFIX/.ports"
fi
wineserver -p 30 >/dev/null 2>&1 || true
# Wine's own background processes (services.exe and the like) start with the
# first program and inherit its output; they are started here with no output
# of the caller's, or a caller such as ctest would wait for them to end.
wine cmd /c exit </dev/null >/dev/null 2>&1 || true
