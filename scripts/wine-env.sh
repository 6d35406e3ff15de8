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
wineserver -p 30 >/dev/null 2>&1 || true
# Wine's own background processes (services.exe and the like) start with the
# first program and inherit its output; they are started here with no output
# of the caller's, or a caller such as ctest would wait for them to end.
wine cmd /c exit </dev/null >/dev/null 2>&1 || true
