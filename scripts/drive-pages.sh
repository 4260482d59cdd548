#!/usr/bin/env bash
# Drives the installer's pages with the keyboard on $DISPLAY as a user
# would: Enter on each page, a screenshot of each into the given directory.
set -u
out=${1:?screens directory}
shot() { import -window root "$out/$1.png" 2>/dev/null; }
wait_page() { # caption, timeout in seconds
    xdotool search --sync --onlyvisible --name "^$1\$" >/dev/null 2>&1 &
    local pid=$! t=0
    while kill -0 "$pid" 2>/dev/null; do
        sleep 0.2; t=$((t + 1))
        [ "$t" -ge $(( $2 * 5 )) ] && { kill "$pid" 2>/dev/null; return 1; }
    done
    wait "$pid"
}
press() { xdotool key --clearmodifiers "$1"; }
n=0
for page in 'Welcome!' 'Platform' 'Plug-in location...'; do
    wait_page "$page" 30 || { echo "drive-pages: page \"$page\" did not appear" >&2; shot "missing-$page"; exit 1; }
    sleep 0.5; n=$((n + 1)); shot "$(printf '%02d' $n)-${page//[^A-Za-z-]/}"
    press Return
done
if wait_page 'Installing...' 10; then n=$((n + 1)); shot "$(printf '%02d' $n)-Installing"; fi
for page in 'Congratulations...' 'Warning...' 'Alert!'; do
    if wait_page "$page" 1; then
        sleep 0.5; n=$((n + 1)); shot "$(printf '%02d' $n)-${page//[^A-Za-z-]/}"
        press Return
        break
    fi
done
