# Shared parts of the fault scripts (test_faults*.sh): each row ends on a
# page, exits with code 0, leaves no temporary file, and leaves every file
# that was there before byte-identical. Source it after e2e-lib.sh.
P=$BUILD_DIR/payload
PS=   # the plug-in directory of the row, as a Unix path
MOUNTS=()

# --- helpers -------------------------------------------------------------
plugins_at() { # Windows path, Unix path
    PS=$2; mkdir -p "$PS"; e2e_ini "$1"
}
previous() { # a file that must survive the row unchanged, with its date
    printf 'previous %s\n' "$1" > "$PS/$1"
    touch -d '1996-02-03 04:05' "$PS/$1"
    cp -p "$PS/$1" "$E2E_SHOTS/$E2E_NAME-$1.before"
}
_same_dated() { same_file "$1" "$2" && [ "$(stat -c %Y "$1")" = "$(stat -c %Y "$2")" ]; }
unchanged() { _same_dated "$E2E_SHOTS/$E2E_NAME-$1.before" "$PS/$1"; }
# previous_set: both plug-in files and the older runtime (Wine's own, which
# the install would replace); set_unchanged: all three byte-identical, with
# their dates.
previous_set() {
    previous zrsupp32.dll; previous zrfilt32.8bf
    cp -p "$E2E_SYS/msvcrt20.dll" "$E2E_SHOTS/$E2E_NAME-runtime.before"
}
set_unchanged() {
    unchanged zrsupp32.dll && unchanged zrfilt32.8bf &&
        _same_dated "$E2E_SHOTS/$E2E_NAME-runtime.before" "$E2E_SYS/msvcrt20.dll" &&
        no_temp_files "$E2E_SYS"
}
to_plugin() { e2e_start "$@"; e2e_page 'Welcome!' 30 && e2e_key Return; e2e_page 'Platform' && e2e_key Return; e2e_page 'Plug-in location...'; }
through() { to_plugin "$@"; e2e_key Return; }
ends_on() { # caption: the page shown after the fault, then the program ends
    check "$E2E_NAME: \"$1\" page" e2e_page "$1" 30
    e2e_shot end
    e2e_key Return
    if [ "$1" = 'Alert!' ]; then
        check "$E2E_NAME: FAILURE after the alert" e2e_page 'Warning...' 10
        e2e_key Return
    fi
    check "$E2E_NAME: setup.exe ends" e2e_wait_exit 20
    check "$E2E_NAME: exit code 0" [ "${E2E_RC:-}" = 0 ]
    [ -z "$PS" ] || check "$E2E_NAME: no temporary file" no_temp_files "$PS"
}
map_drive() { # letter, Unix directory
    ln -sfn "$2" "$WINEPREFIX/dosdevices/$1:"
}
big_source() { # packed source, MB, name: replaced by a big one (made once
    # per build tree); BIG is the unpacked file to compare with
    local packed
    BIG=$(e2e_big_source "$2") && packed=$(e2e_big_packed "$3" "$2") || return 1
    rm -f "$E2E_DIST/$1"
    ln "$packed" "$E2E_DIST/$1" 2>/dev/null || cp "$packed" "$E2E_DIST/$1"
}
set_unchanged_but_leftovers() {
    unchanged zrsupp32.dll && unchanged zrfilt32.8bf &&
        _same_dated "$E2E_SHOTS/$E2E_NAME-runtime.before" "$E2E_SYS/msvcrt20.dll"
}
# stop_in_copy DIR [PREFIX]: lets setup.exe run in slices of 20 ms until a
# copy into DIR has begun (its temporary file, PREFIX* if given, is there),
# then leaves the process stopped. Whatever the row sends next is queued while that copy is in
# progress: a slice is far too short to copy the big source. setup_resume
# lets it go on.
stop_in_copy() {
    local found=
    _e2e_deadline 60
    while kill -STOP "$E2E_SETUP_PID" 2>/dev/null; do
        found=$(find "$1" -maxdepth 1 -iname "${2:-}*.tmp" 2>/dev/null)
        [ -n "$found" ] && return 0
        kill -CONT "$E2E_SETUP_PID"
        _e2e_expired && return 1
        sleep 0.02
    done
    return 1
}
setup_resume() { kill -CONT "$E2E_SETUP_PID" 2>/dev/null; }
cleanup_mounts() { for m in "${MOUNTS[@]}"; do umount "$m" 2>/dev/null; rmdir "$m" 2>/dev/null; done; MOUNTS=(); }
trap 'cleanup_mounts; e2e_end' EXIT
row_end() { cleanup_mounts; e2e_end; PS=; }

# prefix_pids NAME: the ids of this prefix's processes of that name.
prefix_pids() { for p in $(pgrep -x "$1"); do grep -qzx "WINEPREFIX=$WINEPREFIX" "/proc/$p/environ" 2>/dev/null && echo "$p"; done; }
# crash_at_rename N: strace kills the prefix's Wine server (which makes every
# rename), and so setup.exe, on entering its N-th rename from now; returns
# once attached. crash_end waits for the kill, ends the device processes left.
crash_at_rename() {
    local s; s=$(prefix_pids wineserver; prefix_pids wineserver64); s=${s%%$'\n'*}
    strace -qq -o /dev/null -p "$s" -e trace=rename,renameat,renameat2 \
        -e inject=rename,renameat,renameat2:signal=KILL:when="$1" 2>/dev/null & CRASH_STRACE=$!
    _e2e_deadline 10
    until grep -q '^TracerPid:[[:space:]]*[1-9]' "/proc/$s/status" 2>/dev/null; do _e2e_expired && return 1; sleep 0.05; done
}
crash_end() { wait "$CRASH_STRACE"; e2e_wait_exit 30; kill $(prefix_pids winedevice.exe) 2>/dev/null; true; }
