#!/usr/bin/env bash
# Renders the host bench's configuration window (tolvo-host pages, a filter
# wheel page selected) on a virtual X display and saves docs/host-bench-pages.png,
# then the same window with the driver's trace in its pane (--trace) as
# docs/host-bench-trace.png.
# Uses a private prefix with Wine's X11 graphics driver beside the build
# (wineprefix-bench-display) and the simulator registered in it. The window's
# title bar buttons are glyphs of the Marlett font, which a bare prefix lacks:
# this prefix alone gets Wine's marlett.ttf (package fonts-wine, installed or
# fetched with apt-get download and unpacked here), so that the configuration
# pages' own pictures (scripts/screenshots.sh) keep the fonts they have.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build}
[ -f "$build/bin/tolvo-host.exe" ] || { echo "no tolvo-host.exe in $build/bin: build first" >&2; exit 1; }

export WINEPREFIX="$build/wineprefix-bench-display"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win32
export top build

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export work
cp "$build/bin/STolvo32.dll" "$build/bin/tolvo-host.exe" "$build/hostlib/QXUTIL32.dll" "$work/"

marlett=/usr/share/wine/fonts/marlett.ttf
if [ ! -f "$marlett" ]; then
    (cd "$work" && apt-get download -q fonts-wine >/dev/null 2>&1) ||
        { echo "fonts-wine could not be fetched (apt-get download fonts-wine)" >&2; exit 1; }
    dpkg-deb -x "$work"/fonts-wine_*.deb "$work/fonts-wine"
    marlett="$work/fonts-wine/usr/share/wine/fonts/marlett.ttf"
fi
export marlett

# Arguments: the screen's size, the picture's name in docs/, the bench's options.
shoot() {
    local screen=$1 picture=$2
    shift 2
    export picture options="$*"
    xvfb-run -a -s "-screen 0 ${screen}x24" bash -c '
    set -euo pipefail
    if [ ! -f "$WINEPREFIX/.ready" ]; then
        rm -rf "$WINEPREFIX"
        wine wineboot -i >/dev/null 2>&1
        # There is no window manager: Wine draws the window frames itself.
        wine reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f >/dev/null 2>&1
        wineserver -w
        touch "$WINEPREFIX/.ready"
    fi
    cp "$marlett" "$WINEPREFIX/drive_c/windows/Fonts/marlett.ttf"
    wine regsvr32 /s "$build/bin/TolvoSim.dll" >/dev/null 2>&1
    # The fifth device of the rig: filter wheel 1.
    wine "$work/tolvo-host.exe" $options pages --select 4 </dev/null >/dev/null 2>&1 &
    # The window, its page and a refresh of the status line.
    sleep 8
    import -window root "$work/screen.png"
    wineserver -k || true
    wait || true
    # The window on the black root: cut it out.
    convert "$work/screen.png" -trim +repage "$top/docs/$picture"
    echo "docs/$picture"
'
}

shoot 800x600 host-bench-pages.png --prepare
# The trace pane makes the window taller.
shoot 800x900 host-bench-trace.png --prepare --trace
