# Functions for end-to-end runs of the real setup.exe under Wine: a fresh
# prefix and Xvfb per scenario, the distribution copied into the prefix,
# pages found by caption and driven with real X keyboard and mouse events.
# Source it from a test_*.sh; SOURCE_DIR, BUILD_DIR and DIST_DIR come from CTest.

set -u
. "$SOURCE_DIR/scripts/wine-lib.sh"
. "$SOURCE_DIR/tests/support/seeded.sh"

E2E_FAILS=0
E2E_CHECKS=0
E2E_XPID=
E2E_SETUP_PID=
E2E_START_FAILED=

# e2e_begin NAME: fresh prefix, private display, distribution in C:\dist.
e2e_begin() {
    E2E_NAME=$1
    E2E_START_FAILED=
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

# Deadlines: _e2e_deadline SECONDS starts one, _e2e_expired says it passed.
_e2e_deadline() { _e2e_until=$(( ${EPOCHREALTIME/./} + $1 * 1000000 )); }
_e2e_expired() { [ "${EPOCHREALTIME/./}" -gt "$_e2e_until" ]; }

# True when no page of setup.exe can come any more: its start failed, or
# the process that was started has ended.
e2e_setup_gone() {
    [ -n "$E2E_START_FAILED" ] && return 0
    [ -n "$E2E_SETUP_PID" ] && ! kill -0 "$E2E_SETUP_PID" 2>/dev/null
}

# e2e_probe: starts a trivial Wine program (it shows a window and ends) in
# the row's prefix and display; true when it did so within 60 seconds.
e2e_probe() {
    local exe=$BUILD_DIR/tests/e2e/probe.exe pid
    [ -f "$exe" ] || { echo "note: $E2E_NAME: $exe not built"; return 1; }
    cp "$exe" "$E2E_C/e2e-probe.exe"
    "$WINE_BIN" 'C:\e2e-probe.exe' >/dev/null 2>&1 </dev/null &
    pid=$!
    _e2e_deadline 60
    while kill -0 "$pid" 2>/dev/null; do
        _e2e_expired && { kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; return 1; }
        sleep 0.1
    done
    wait "$pid"
}

# e2e_start [ARGS...]: starts setup.exe ($E2E_EXE: C:\dist\setup.exe, or
# A:\SETUP.EXE after e2e_floppy) in the background and waits for its first
# page. With E2E_RELAY set to a file, Wine's relay trace of setup.exe alone
# (its calls into KERNEL32, or those E2E_RELAY_INCLUDE names) goes there.
# A start that ends without a page fails the row at once (every later page
# wait of the row then returns at once), unless a trivial Wine program fails
# to start at that moment as well: then the environment failed, not the
# program, and the start is tried again (at most three times) after the
# prefix's Wine server (and a dead X server) has been restarted. Every
# retry is printed, pass or fail.
e2e_start() {
    local try err rc display
    E2E_START_FAILED=
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
        _e2e_deadline 60
        while :; do
            xdotool search --onlyvisible --name '^Welcome!$' >/dev/null 2>&1 && return 0
            kill -0 "$E2E_SETUP_PID" 2>/dev/null || break
            if _e2e_expired; then
                _e2e_start_failed "setup.exe runs but shows no page after 60 s"
                return 1
            fi
            sleep 0.1
        done
        wait "$E2E_SETUP_PID" 2>/dev/null
        rc=$? display=answers
        E2E_SETUP_PID=
        xdotool getdisplaygeometry >/dev/null 2>&1 || display='does not answer'
        echo "note: $E2E_NAME: setup.exe ended without showing a page (exit $rc), start $try; display $DISPLAY $display"
        [ -s "$err" ] && tail -n 5 "$err" | sed 's/^/note:   wine: /'
        if e2e_probe; then
            _e2e_start_failed "setup.exe ended at start (exit $rc) while a trivial Wine program starts"
            return 1
        fi
        [ "$try" = 3 ] && break
        echo "retry: $E2E_NAME: a trivial Wine program does not start either: the environment failed; restarting the Wine server and starting setup.exe again (start $((try + 1)))"
        wine_stop
        if [ "$display" != answers ]; then   # a new X server, the old one gone
            echo "retry: $E2E_NAME: the X server does not answer: a new one"
            kill "$E2E_XPID" 2>/dev/null
            read -r E2E_XPID DISPLAY < <(wine_start_xvfb)
        fi
        wineserver -p >/dev/null 2>&1 </dev/null
    done
    _e2e_start_failed "neither setup.exe nor a trivial Wine program starts (3 starts)"
    return 1
}

# Counts a failed start as a failed check and ends the row's waiting.
_e2e_start_failed() {
    E2E_START_FAILED=1
    E2E_CHECKS=$((E2E_CHECKS + 1)); E2E_FAILS=$((E2E_FAILS + 1))
    echo "FAILED: $E2E_NAME: $1"
    e2e_failure_shot start
    [ -n "$E2E_SETUP_PID" ] && kill "$E2E_SETUP_PID" 2>/dev/null
    E2E_SETUP_PID=
}

# e2e_wait_exit [SECONDS]: waits for setup.exe to end; sets E2E_RC.
e2e_wait_exit() {
    [ -n "$E2E_START_FAILED" ] && { E2E_RC=no-start; return 1; }
    [ -n "$E2E_SETUP_PID" ] || { E2E_RC=not-started; return 1; }
    _e2e_deadline "${1:-30}"
    while kill -0 "$E2E_SETUP_PID" 2>/dev/null; do
        _e2e_expired && { E2E_RC=timeout; return 1; }
        sleep 0.1
    done
    wait "$E2E_SETUP_PID"; E2E_RC=$?
    E2E_SETUP_PID=
}

# e2e_focused CAPTION: true when a visible window of that caption has the
# keyboard focus.
e2e_focused() {
    local f w
    f=$(xdotool getwindowfocus 2>/dev/null) || return 1
    for w in $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null); do
        [ "$w" = "$f" ] && return 0
    done
    return 1
}

# e2e_ready CAPTION: true when a visible window of that caption is the one
# keys reach: it has the keyboard focus, or it lies above every other
# visible window with a caption (the program's first page gets no X focus
# of its own; its process's main window has it). A page with an alert
# still above it is not ready.
e2e_ready() {
    local f w all top
    f=$(xdotool getwindowfocus 2>/dev/null)
    all=$(xdotool search --onlyvisible --name . 2>/dev/null)   # bottom to top
    top=${all##*$'\n'}
    for w in $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null); do
        [ "$w" = "$f" ] || [ "$w" = "$top" ] && return 0
    done
    return 1
}

# e2e_wait_focus CAPTION [SECONDS]: waits until that window has the focus.
e2e_wait_focus() {
    _e2e_deadline "${2:-5}"
    until e2e_focused "$1"; do
        _e2e_expired && return 1
        sleep 0.05
    done
}

# e2e_page CAPTION [SECONDS]: waits until a window with that caption is
# visible and then until keys sent next reach it (e2e_ready). A page that
# is shown but never comes to the top (the main window behind a page)
# counts after three seconds more. Returns at once when setup.exe has ended
# or never started.
e2e_page() {
    _e2e_deadline "${2:-20}"
    while ! xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; do
        e2e_setup_gone && return 1
        _e2e_expired && return 1
        sleep 0.1
    done
    _e2e_deadline 3
    until e2e_ready "$1"; do
        _e2e_expired && { echo "note: $E2E_NAME: \"$1\" is shown but not on top"; return 0; }
        sleep 0.05
    done
    return 0
}

# e2e_page_any SECONDS CAPTION...: waits until one of the pages is visible
# and ready (as e2e_page); prints its caption. Fails when none came.
e2e_page_any() {
    local limit=$1 c w; shift
    _e2e_deadline "$limit"
    while :; do
        for c in "$@"; do
            if xdotool search --onlyvisible --name "^$c\$" >/dev/null 2>&1; then
                e2e_page "$c" 1 >/dev/null; printf '%s\n' "$c"; return 0
            fi
        done
        e2e_setup_gone && return 1
        _e2e_expired && return 1
        sleep 0.1
    done
}

# e2e_gone CAPTION [SECONDS]: waits until no visible window has that caption.
e2e_gone() {
    _e2e_deadline "${2:-10}"
    while xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; do
        _e2e_expired && return 1
        sleep 0.1
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
}

# e2e_window CAPTION: the X window id of a visible page.
e2e_window() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1; }

# Keys and text go to the window that has the focus; X delivers them in
# order, so the next step waits for the state they lead to, not a time.
e2e_key() { xdotool key --clearmodifiers "$@"; }
e2e_type() { xdotool type --delay 30 "$1"; }
# e2e_type_field CAPTION TEXT: types TEXT into the focused field of a page
# until the field holds it (keys lost on a loaded machine typed again).
e2e_type_field() {
    local try i
    for try in 1 2 3; do
        xdotool key --delay 30 End shift+Home BackSpace
        e2e_type "$2"
        for i in $(seq 20); do e2e_reader_names "$1" | grep -qxF "Edit||$2" && return 0; done
        echo "retry: the field of \"$1\" does not hold \"$2\""
    done
    return 1
}

# e2e_click CAPTION X Y: a left click at a point relative to a page's window.
e2e_click() {
    local w; w=$(e2e_window "$1")
    xdotool mousemove --window "$w" "$2" "$3" click 1
}

# e2e_shot NAME: a screenshot of a moment worth looking at by hand, saved
# only with E2E_SHOTS_ALL=1; a failed check saves one by itself.
e2e_shot() {
    [ "${E2E_SHOTS_ALL:-0}" = 1 ] || return 0
    import -window root "$E2E_SHOTS/$E2E_NAME-$1.png" 2>/dev/null
}
e2e_failure_shot() {
    # A check outside a row (no prefix, no display) still counts its failure.
    [ -n "${E2E_SHOTS:-}" ] || return 0
    local f=$E2E_SHOTS/$E2E_NAME-failed-$1.png
    [ -n "${DISPLAY:-}" ] && import -window root "$f" 2>/dev/null && echo "  screenshot: $f"
}

# e2e_wait_file PATH [SECONDS]: waits until the file exists.
e2e_wait_file() {
    _e2e_deadline "${2:-20}"
    until [ -e "$1" ]; do
        _e2e_expired && return 1
        sleep 0.1
    done
}

# e2e_big_source MB: prints the path of a file of MB MiB of random bytes from
# a fixed seed, made once and shared by every row and script of the build
# tree. e2e_big_packed NAME MB: the same file packed as NAME (lzpack -n),
# made once as well (again when lzpack is rebuilt).
E2E_BIG_SEED=4821
e2e_big_source() {
    local dir=$BUILD_DIR/test-output/e2e-big f
    f=$dir/big-$1.bin
    mkdir -p "$dir"
    (
        flock 9
        if [ ! -f "$f" ]; then
            seeded_bytes "$E2E_BIG_SEED" $(( $1 * 1024 * 1024 )) > "$f.tmp" && mv "$f.tmp" "$f"
        fi
    ) 9>"$dir/big.lock"
    echo "random input: $f, $1 MiB from seed $E2E_BIG_SEED (tests/support/seeded.sh)" >&2
    printf '%s\n' "$f"
}
e2e_big_packed() {
    local src out dir=$BUILD_DIR/test-output/e2e-big
    src=$(e2e_big_source "$2") || return 1
    out=$dir/big-$2.$1.packed
    (
        flock 9
        if [ ! -f "$out" ] || [ "$HOST_TOOLS_DIR/lzpack" -nt "$out" ]; then
            "$HOST_TOOLS_DIR/lzpack" -n "$1" "$src" "$out.tmp" && mv "$out.tmp" "$out"
        fi
    ) 9>"$dir/big.lock"
    printf '%s\n' "$out"
}

# e2e_reader_names CAPTION: what a screen reader in another process hears
# of each control of a page, a "class|name" line each (readnames.c).
e2e_reader_names() {
    cp "$BUILD_DIR/tests/e2e/readnames.exe" "$E2E_C/e2e-readnames.exe" || return 1
    "$WINE_BIN" 'C:\e2e-readnames.exe' "$1" 2>/dev/null </dev/null | tr -d '\r'
}

# Checks: each prints a line, failures are counted.
check() { # description, then a command
    local what=$1; shift
    E2E_CHECKS=$((E2E_CHECKS + 1))
    if "$@"; then
        echo "ok: $what"
    else
        echo "FAILED: $what"; E2E_FAILS=$((E2E_FAILS + 1))
        [ -n "$E2E_START_FAILED" ] || e2e_failure_shot "$E2E_CHECKS"
    fi
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
