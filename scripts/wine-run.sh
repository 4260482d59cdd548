#!/usr/bin/env bash
# Runs one Windows program under Wine in a throw-away prefix and its own Xvfb,
# and exits with the program's exit code. Used as the cross-compiling
# emulator, so every test executable runs isolated from every other.
#   WINE_RUN_DISPLAY=:N   use this X display instead of a private Xvfb
#   WINE_RUN_KEEP=1       keep the prefix and print its path on stderr
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/wine-lib.sh"

prefix=$(wine_new_prefix) || exit 125
export WINEPREFIX=$prefix
xpid=
if [ -n "${WINE_RUN_DISPLAY:-}" ]; then
    export DISPLAY=$WINE_RUN_DISPLAY
else
    read -r xpid DISPLAY < <(wine_start_xvfb) || exit 125
    export DISPLAY
fi

cleanup() {
    wine_stop
    [ -n "$xpid" ] && kill "$xpid" 2>/dev/null
    if [ "${WINE_RUN_KEEP:-0}" = 1 ]; then
        echo "wine-run: prefix kept at $prefix" >&2
    else
        rm -rf "$prefix"
    fi
}
trap cleanup EXIT

case "$(file -b "$1" 2>/dev/null)" in
    PE32\ executable*)
        if [ "$WINEARCH" = win64 ]; then
            echo "wine-run: this machine cannot run 32-bit programs; build with scripts/build.sh," >&2
            echo "wine-run: which then makes the 64-bit test build (see README.md)." >&2
            exit 125
        fi ;;
esac

wineserver -p >/dev/null 2>&1 </dev/null
"$WINE_BIN" "$@"
rc=$?
exit $rc
