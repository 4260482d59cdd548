# Shared shell functions for running Windows programs under Wine in
# throw-away prefixes. Source this file; it defines functions only.

WINE_TEMPLATE_VERSION=1
WINE_CACHE=${WINE_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/vellox-setup}

export WINEDEBUG=${WINEDEBUG:--all}
# winedbg disabled: a crashing program ends at once instead of waiting in the debugger.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=;winedbg.exe=d}
# 32-bit Wine where the kernel runs 32-bit code, else 64-bit Wine (and the
# 64-bit test build of the program).
WINEARCH=$("$(dirname "${BASH_SOURCE[0]}")/host-arch.sh")
export WINEARCH
if [ "$WINEARCH" = win64 ]; then
    WINE_BIN=/usr/lib/wine/wine64
    export WINELOADER=$WINE_BIN
else
    WINE_BIN=wine
fi

# Prints the path of the template prefix, building it once (under a lock).
wine_template() {
    local dir="$WINE_CACHE/template-$WINEARCH-v$WINE_TEMPLATE_VERSION"
    mkdir -p "$WINE_CACHE"
    (
        flock 9
        if [ ! -f "$dir/.complete" ]; then
            rm -rf "$dir" "$dir.tmp"
            mkdir -p "$dir.tmp"
            (
                export WINEPREFIX="$dir.tmp"
                unset DISPLAY
                "$WINE_BIN" wineboot -i >/dev/null 2>&1 </dev/null
                wineserver -w
                mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
                cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null
                # Without a window manager Wine draws captions and frames itself.
                "$WINE_BIN" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null
                "$WINE_BIN" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d Y /f >/dev/null 2>&1 </dev/null
                wineserver -w
            )
            mv "$dir.tmp" "$dir" && touch "$dir/.complete"
        fi
    ) 9>"$WINE_CACHE/template-$WINEARCH.lock"
    [ -f "$dir/.complete" ] || { echo "wine-lib: could not build the Wine template prefix" >&2; return 1; }
    printf '%s\n' "$dir"
}

# Makes a new throw-away prefix from the template and prints its path.
# Files that a run may rewrite in place are real copies, never hard links.
wine_new_prefix() {
    local template prefix f
    template=$(wine_template) || return 1
    prefix=$(mktemp -d /tmp/wine-run.XXXXXX) || return 1
    cp -al "$template/." "$prefix/" || return 1
    rm -f "$prefix/.complete"
    for f in system.reg user.reg userdef.reg \
             drive_c/windows/system32/msvcrt20.dll drive_c/windows/syswow64/msvcrt20.dll drive_c/windows/win.ini \
             drive_c/windows/system.ini; do
        if [ -e "$template/$f" ]; then
            rm -f "$prefix/$f"
            cp -p "$template/$f" "$prefix/$f"
        fi
    done
    printf '%s\n' "$prefix"
}

# Starts a private Xvfb (1024x768x24) and prints "PID DISPLAY".
wine_start_xvfb() {
    local fifo pid num
    fifo=$(mktemp -u /tmp/xvfb-fd.XXXXXX)
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 </dev/null &
    pid=$!
    read -r num <"$fifo"
    rm -f "$fifo"
    [ -n "$num" ] || { kill "$pid" 2>/dev/null; return 1; }
    printf '%s :%s\n' "$pid" "$num"
}

# Starts the Wine server of the current WINEPREFIX with its output detached.
wine_boot() {
    wineserver -p >/dev/null 2>&1 </dev/null
    "$WINE_BIN" wineboot >/dev/null 2>&1 </dev/null
}

# Stops the Wine server of the current WINEPREFIX and waits for it.
wine_stop() {
    wineserver -k >/dev/null 2>&1 </dev/null
    wineserver -w >/dev/null 2>&1 </dev/null
}
