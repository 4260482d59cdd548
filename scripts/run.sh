#!/usr/bin/env bash
# The installer's main job: installs what is missing, builds setup.exe and
# its packed sample payload into build/dist/, makes a throw-away Wine prefix
# whose photos30.ini names a host program's plug-in directory, and runs
# setup.exe there. With a display ($DISPLAY) the user drives the pages; without
# one, a private Xvfb is started and the pages are driven with the keyboard,
# as a user would, with a screenshot under build/screens/ of each page that
# was on top of the screen, named after its caption (a page over before it
# could be seen, like INSTALLING with the small sample payload, gets none).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BUILD_DIR:-$root/build}
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "$build" >/dev/null
. "$root/scripts/wine-lib.sh"

dist=$build/dist
screens=$build/screens
[ -f "$dist/setup.exe" ] || { echo "run.sh: $dist/setup.exe was not built" >&2; exit 1; }
rm -rf "$screens"
mkdir -p "$screens"

prefix=$(wine_new_prefix)
export WINEPREFIX=$prefix
plugins='C:\Program Files\Photoshp\Plugins'
mkdir -p "$prefix/drive_c/Program Files/Photoshp/Plugins"
printf '[Photoshop]\r\nPlugInDirectory=%s\r\n' "$plugins" > "$prefix/drive_c/windows/photos30.ini"
# Wine's own stand-in C runtime plays an older installed copy, to be replaced.
runtime=$prefix/drive_c/windows/system32/msvcrt20.dll
[ -f "$runtime" ] && touch -d '1995-06-01 12:00' "$runtime"

xpid=
interactive=0
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    interactive=1
else
    read -r xpid DISPLAY < <(wine_start_xvfb)
    export DISPLAY
fi
cleanup() {
    wine_stop
    [ -n "$xpid" ] && kill "$xpid" 2>/dev/null
    rm -rf "$prefix"
}
trap cleanup EXIT
wineserver -p >/dev/null 2>&1 </dev/null

if [ "$interactive" = 1 ]; then
    echo "Running setup.exe on $DISPLAY (prefix $prefix)"
    "$WINE_BIN" "$dist/setup.exe" "$@"
else
    "$WINE_BIN" "$dist/setup.exe" "$@" >/dev/null 2>&1 &
    setup_pid=$!
    "$root/scripts/drive-pages.sh" "$screens" || true
    wait "$setup_pid" || true
fi

echo "Installed files:"
for f in "$prefix/drive_c/Program Files/Photoshp/Plugins"/* \
         "$prefix/drive_c/windows/system32/msvcrt20.dll" \
         "$prefix/drive_c/windows/msvcrt20.dll"; do
    [ -f "$f" ] || continue
    case "$f" in */system32/msvcrt20.dll) [ "$(date -r "$f" +%Y)" != 1995 ] || continue ;; esac
    printf '  %s (%s bytes)\n' "${f#$prefix/drive_c/}" "$(stat -c %s "$f")"
done
[ "$interactive" = 1 ] || echo "Screenshots: $screens"
