# Functions for end-to-end runs of the real setup.exe under Wine: a fresh
# prefix and Xvfb per scenario, the distribution copied into the prefix,
# pages found by caption and driven with real X keyboard and mouse events.
# Source it from a test_*.sh; SOURCE_DIR, BUILD_DIR and DIST_DIR come from CTest.

set -u
. "$SOURCE_DIR/scripts/wine-lib.sh"

E2E_FAILS=0
E2E_CHECKS=0
E2E_XPID=
E2E_SETUP_PID=

# e2e_begin NAME: fresh prefix, private display, distribution in C:\dist.
e2e_begin() {
    E2E_NAME=$1
    WINEPREFIX=$(wine_new_prefix) || { echo "e2e: no prefix" >&2; exit 1; }
    export WINEPREFIX
    read -r E2E_XPID DISPLAY < <(wine_start_xvfb)
    export DISPLAY
    wineserver -p >/dev/null 2>&1 </dev/null
    E2E_C=$WINEPREFIX/drive_c
    E2E_DIST=$E2E_C/dist
    E2E_EXE='C:\dist\setup.exe'   # setup.exe in $E2E_DIST, as Wine names it
    mkdir -p "$E2E_DIST"
    cp "$DIST_DIR"/setup.exe "$DIST_DIR"/*._?? "$E2E_DIST"/
    E2E_SYS=$E2E_C/windows/system32
    # Wine's own stand-in C runtime plays an older installed copy.
    [ -f "$E2E_SYS/msvcrt20.dll" ] && touch -d '1995-06-01 12:00' "$E2E_SYS/msvcrt20.dll"
    E2E_SHOTS=$BUILD_DIR/test-output/e2e
    mkdir -p "$E2E_SHOTS"
    # The Windows version as the program sees it (win95, win31, winxp...).
    trap e2e_end EXIT
}

e2e_end() {
    [ -n "${WINEPREFIX:-}" ] || return 0
    [ -n "$E2E_SETUP_PID" ] && kill "$E2E_SETUP_PID" 2>/dev/null
    E2E_SETUP_PID=
    wine_stop
    [ -n "$E2E_XPID" ] && kill "$E2E_XPID" 2>/dev/null
    E2E_XPID=
    [ -d "$WINEPREFIX/floppy" ] && chmod -R u+w "$WINEPREFIX/floppy"
    if [ "${E2E_KEEP:-0}" = 1 ]; then echo "e2e: prefix kept at $WINEPREFIX" >&2; else rm -rf "$WINEPREFIX"; fi
    unset WINEPREFIX
}

# e2e_version win95|win31|winxp|...: the Windows version Wine reports.
e2e_version() {
    "$WINE_BIN" reg add 'HKCU\Software\Wine' /v Version /d "$1" /f >/dev/null 2>&1 </dev/null
}

# e2e_ini VALUE: photos30.ini in the Windows directory naming the plug-in directory.
e2e_ini() {
    printf '[Photoshop]\r\nPlugInDirectory=%s\r\n' "$1" > "$E2E_C/windows/photos30.ini"
}

# e2e_floppy IMAGE: the files of a floppy image, copied out with mcopy into a
# read-only directory (for root, only the files' read-only attribute holds)
# that is the prefix's floppy drive A:, in place of C:\dist; e2e_start then
# runs A:\SETUP.EXE.
e2e_floppy() {
    local a=$WINEPREFIX/floppy
    rm -rf "$E2E_DIST"
    mkdir -p "$a"
    mcopy -m -i "$1" '::*' "$a/" || return 1
    chmod 444 "$a"/*
    chmod 555 "$a"
    ln -s ../floppy "$WINEPREFIX/dosdevices/a:"
    "$WINE_BIN" reg add 'HKLM\Software\Wine\Drives' /v 'a:' /d floppy /f >/dev/null 2>&1 </dev/null
    E2E_DIST=$a
    E2E_EXE='A:\SETUP.EXE'
}

# e2e_start [ARGS...]: starts setup.exe ($E2E_EXE: C:\dist\setup.exe, or
# A:\SETUP.EXE after e2e_floppy) in the background and waits for its first
# page. With E2E_RELAY set to a file, Wine's relay trace of setup.exe alone
# (its calls into KERNEL32, or those E2E_RELAY_INCLUDE names) goes there. On a heavily loaded machine Wine
# itself now and then fails to bring a program up; such a start (the process
# gone without ever showing a window) is said so, with Wine's own error
# lines and whether the display still answers, and tried again after the
# prefix's Wine server (and its desktop process) has been restarted. A
# program that cannot start at all fails every try.
e2e_start() {
    local try err
    for try in 1 2 3; do
        err=$E2E_SHOTS/$E2E_NAME-wine-start$try.err
        if [ -n "${E2E_RELAY:-}" ]; then
            # only the calls into KERNEL32: enough to see how files are moved
            "$WINE_BIN" reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /d "${E2E_RELAY_INCLUDE:-KERNEL32.*}" /f >/dev/null 2>&1 </dev/null
            (cd "$E2E_DIST" && WINEDEBUG=-all,+relay exec "$WINE_BIN" "$E2E_EXE" "$@" >/dev/null 2>"$E2E_RELAY") &
        else
            (cd "$E2E_DIST" && WINEDEBUG=-all,err+all exec "$WINE_BIN" "$E2E_EXE" "$@" >/dev/null 2>"$err") &
        fi
        E2E_SETUP_PID=$!
        local t=0
        while [ "$t" -lt 300 ]; do
            xdotool search --onlyvisible --name '^Welcome!$' >/dev/null 2>&1 && return 0
            kill -0 "$E2E_SETUP_PID" 2>/dev/null || break
            sleep 0.2; t=$((t + 1))
        done
        kill -0 "$E2E_SETUP_PID" 2>/dev/null && return 1   # up, but no page yet
        wait "$E2E_SETUP_PID" 2>/dev/null
        local rc=$? display=answers
        xdotool getdisplaygeometry >/dev/null 2>&1 || display='does not answer'
        echo "note: $E2E_NAME: setup.exe ended without showing a page (exit $rc), start $try; display $DISPLAY $display"
        E2E_SETUP_PID=
        [ -s "$err" ] && tail -n 5 "$err" | sed 's/^/note:   wine: /'
        wine_stop
        if [ "$display" != answers ]; then   # a new X server, the old one gone
            kill "$E2E_XPID" 2>/dev/null
            read -r E2E_XPID DISPLAY < <(wine_start_xvfb)
        fi
        sleep "$try"
        wineserver -p >/dev/null 2>&1 </dev/null
    done
    return 1
}

# e2e_wait_exit [SECONDS]: waits for setup.exe to end; sets E2E_RC.
e2e_wait_exit() {
    local t=0 limit=$(( ${1:-30} * 5 ))
    while kill -0 "$E2E_SETUP_PID" 2>/dev/null; do
        sleep 0.2; t=$((t + 1))
        if [ "$t" -ge "$limit" ]; then E2E_RC=timeout; return 1; fi
    done
    wait "$E2E_SETUP_PID"; E2E_RC=$?
    E2E_SETUP_PID=
}

# e2e_page CAPTION [SECONDS]: waits until a window with that caption is visible.
e2e_page() {
    local t=0 limit=$(( ${2:-20} * 5 ))
    while ! xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; do
        sleep 0.2; t=$((t + 1))
        [ "$t" -ge "$limit" ] && return 1
    done
    sleep 0.4
    return 0
}

# e2e_gone CAPTION [SECONDS]: waits until no visible window has that caption.
e2e_gone() {
    local t=0 limit=$(( ${2:-10} * 5 ))
    while xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; do
        sleep 0.2; t=$((t + 1))
        [ "$t" -ge "$limit" ] && return 1
    done
    return 0
}

# e2e_du_click CAPTION X Y W H: clicks the point (X, Y), in dialog units, of
# a page whose template is W x H units; the scale is read off the page's
# window (a dialog frame of 3 pixels and a caption bar of 19 pixels).
e2e_du_click() {
    local w x y WIDTH HEIGHT
    w=$(e2e_window "$1")
    eval "$(xdotool getwindowgeometry --shell "$w" | grep -E '^(WIDTH|HEIGHT)=')"
    x=$(( 3 + $2 * (WIDTH - 6) / $4 ))
    y=$(( 22 + $3 * (HEIGHT - 25) / $5 ))
    xdotool mousemove --window "$w" "$x" "$y" click 1
    sleep 0.6
}

# e2e_window CAPTION: the X window id of a visible page.
e2e_window() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1; }

e2e_key() { xdotool key --clearmodifiers "$@"; sleep 0.3; }
e2e_type() { xdotool type --delay 30 "$1"; sleep 0.3; }

# e2e_click CAPTION X Y: a left click at a point relative to a page's window.
e2e_click() {
    local w; w=$(e2e_window "$1")
    xdotool mousemove --window "$w" "$2" "$3" click 1
    sleep 0.4
}

e2e_shot() { import -window root "$E2E_SHOTS/$E2E_NAME-$1.png" 2>/dev/null; }

# Checks: each prints a line, failures are counted.
check() { # description, then a command
    local what=$1; shift
    E2E_CHECKS=$((E2E_CHECKS + 1))
    if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; E2E_FAILS=$((E2E_FAILS + 1)); fi
}
same_file() { cmp -s "$1" "$2"; }
called() { grep -q "[.]$2(" "$1"; }       # relay trace, function name: setup.exe called it
not_called() { ! called "$@"; }
no_file() { [ ! -e "$1" ]; }
no_temp_files() { [ -z "$(find "$1" -maxdepth 1 -type f \( -iname '*.tmp' -o -iname '~*' \) 2>/dev/null)" ]; }

e2e_finish() {
    echo "$E2E_NAME: $((E2E_CHECKS - E2E_FAILS)) passed, $E2E_FAILS failed"
    [ "$E2E_FAILS" = 0 ]
}
