#!/usr/bin/env bash
# Renders the configuration pages (the stage pages, the focus, shutter and
# filter wheel pages, and the name list editor) inside a host-like window on a
# virtual X display and saves them as docs/*.png. Uses a second private Wine
# prefix with Wine's X11 graphics driver (the tests' prefix uses the null
# driver). Needs a build (scripts/build.sh) in build/ or $BUILD_DIR.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build}
viewer="$build/bin/page_viewer.exe"
[ -f "$viewer" ] || { echo "no $viewer: build first" >&2; exit 1; }
mkdir -p "$top/docs"

export WINEPREFIX="$build/wineprefix-display"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win32
export top viewer

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export work

xvfb-run -a -s "-screen 0 800x600x24" bash -c '
    set -euo pipefail
    if [ ! -f "$WINEPREFIX/.ready" ]; then
        rm -rf "$WINEPREFIX"
        wine wineboot -i >/dev/null 2>&1
        # There is no window manager: Wine draws the window frames itself.
        wine reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f >/dev/null 2>&1
        wineserver -w
        touch "$WINEPREFIX/.ready"
    fi
    for view in xy xy-steps z-serial z focus shutter wheel name-list; do
        rect="$work/$view.rect"
        stop="$work/$view.stop"
        wine "$viewer" "$view" "$(winepath -w "$rect")" "$(winepath -w "$stop")" \
            </dev/null >/dev/null 2>&1 &
        pid=$!
        for _ in $(seq 1 300); do [ -s "$rect" ] && break; sleep 0.1; done
        [ -s "$rect" ] || { echo "the $view page did not come up" >&2; exit 1; }
        read -r x y w h <"$rect"
        import -window root -crop "${w}x${h}+${x}+${y}" +repage "$top/docs/page-$view.png"
        touch "$stop"
        wait "$pid"
        echo "docs/page-$view.png"
    done
    wineserver -k || true
'
