#!/usr/bin/env bash
# Faults of a hostile, full or broken machine, one row each: the page the
# installer must end on, exit code 0, no temporary file, and every file
# that was there before left byte-identical.
. "$(dirname "$0")/e2e-lib.sh"
P=$BUILD_DIR/payload
PS=   # the plug-in directory of the row, as a Unix path
MOUNTS=()

# --- helpers -------------------------------------------------------------
plugins_at() { # Windows path, Unix path
    PS=$2; mkdir -p "$PS"; e2e_ini "$1"
}
previous() { # a file that must survive the row unchanged
    printf 'previous %s\n' "$1" > "$PS/$1"
    cp "$PS/$1" "$E2E_SHOTS/$E2E_NAME-$1.before"
}
unchanged() { same_file "$E2E_SHOTS/$E2E_NAME-$1.before" "$PS/$1"; }
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
big_source() { # replaces a packed source with a big one (MB), keeps the original
    head -c $(( $2 * 1024 * 1024 )) /dev/urandom > "$E2E_SHOTS/$E2E_NAME-big"
    "$HOST_TOOLS_DIR/lzpack" -n "$3" "$E2E_SHOTS/$E2E_NAME-big" "$E2E_DIST/$1"
}
cleanup_mounts() { for m in "${MOUNTS[@]}"; do umount "$m" 2>/dev/null; rmdir "$m" 2>/dev/null; done; MOUNTS=(); }
trap 'cleanup_mounts; e2e_end' EXIT
row_end() { cleanup_mounts; e2e_end; rm -f "$E2E_SHOTS/$E2E_NAME-big"; PS=; }

# --- rows ----------------------------------------------------------------

# disk full: the plug-in directory on a drive of 24 KB.
e2e_begin disk-full
m=$(mktemp -d /tmp/e2e-full.XXXXXX)
if mount -t tmpfs -o size=24k tmpfs "$m" 2>/dev/null; then
    MOUNTS+=("$m"); map_drive d "$m"; plugins_at 'D:\' "$m"
    previous zrfilt32.8bf
    through
    ends_on 'Alert!'
    check "disk-full: previous filter intact" unchanged zrfilt32.8bf
else
    echo "skip: disk-full (no tmpfs mount here)"; rmdir "$m"
fi
row_end

# The rows that replace a file run on NT, where the new file takes the old
# one's place in one step, and on Windows 95, where the old one is renamed
# aside first and must come back when anything fails.
for ver in nt win95; do

# a read-only plug-in directory
e2e_begin "read-only-$ver"
[ "$ver" = nt ] || e2e_version "$ver"
m=$(mktemp -d /tmp/e2e-ro.XXXXXX); mkdir -p "$m-src"
printf 'previous zrsupp32.dll\n' > "$m-src/zrsupp32.dll"
if mount --bind "$m-src" "$m" 2>/dev/null && mount -o remount,ro,bind "$m" 2>/dev/null; then
    MOUNTS+=("$m"); map_drive e "$m"; plugins_at 'E:\' "$m"
    through
    ends_on 'Alert!'
    check "read-only-$ver: previous support library intact" grep -q previous "$m/zrsupp32.dll"
else
    echo "skip: read-only-$ver (no bind mount here)"
fi
row_end; rm -rf "$m-src"

# a target held open without sharing by another program
e2e_begin "held-open-$ver"
[ "$ver" = nt ] || e2e_version "$ver"
plugins_at 'C:\PS\Plugins' "$E2E_C/PS/Plugins"
previous zrsupp32.dll
cross=x86_64-w64-mingw32; [ "$WINEARCH" = win32 ] && cross=i686-w64-mingw32
$cross-gcc -O2 "$SOURCE_DIR/tests/e2e/holdopen.c" -o "$E2E_C/holdopen.exe"
"$WINE_BIN" 'C:\holdopen.exe' 'C:\PS\Plugins\zrsupp32.dll' 60 >/dev/null 2>&1 &
holder=$!
sleep 2
through
ends_on 'Alert!'
check "held-open-$ver: held file intact" unchanged zrsupp32.dll
check "held-open-$ver: later file not tried" no_file "$PS/zrfilt32.8bf"
check "held-open-$ver: nothing set aside left" [ "$(ls "$PS")" = zrsupp32.dll ]
kill "$holder" 2>/dev/null
row_end

done

# a damaged source over an installed file on Windows 95 (the NT case is
# corrupt-control below)
e2e_begin corrupt-replace-win95
e2e_version win95
plugins_at 'C:\PS\Plugins' "$E2E_C/PS/Plugins"
previous zrfilt32.8bf
printf '\x00' | dd of="$E2E_DIST/zrfilt32._bf" bs=1 seek=14 conv=notrunc 2>/dev/null
through
ends_on 'Alert!'
check "corrupt-replace-win95: previous filter intact" unchanged zrfilt32.8bf
check "corrupt-replace-win95: nothing set aside left" [ "$(ls "$PS" | sort | tr '\n' ' ')" = 'zrfilt32.8bf zrsupp32.dll ' ]
row_end

# -m over an installed runtime whose replacement is damaged: the installed
# runtime stays exactly as it was.
e2e_begin force-runtime-damaged
plugins_at 'C:\PS\Plugins' "$E2E_C/PS/Plugins"
printf 'installed runtime\n' > "$E2E_SYS/msvcrt20.dll"
cp "$E2E_SYS/msvcrt20.dll" "$E2E_SHOTS/$E2E_NAME-runtime.before"
printf '\xff\xff\xff\x00' | dd of="$E2E_DIST/msvcrt20._ll" bs=1 seek=10 conv=notrunc 2>/dev/null
through -m
ends_on 'Alert!'
check "force-runtime-damaged: installed runtime byte-identical" same_file "$E2E_SHOTS/$E2E_NAME-runtime.before" "$E2E_SYS/msvcrt20.dll"
check "force-runtime-damaged: no temporary file in the system directory" no_temp_files "$E2E_SYS"
check "force-runtime-damaged: plug-ins not tried" [ -z "$(ls "$PS")" ]
row_end

# corrupt sources: a wrong length in the header, a damaged control byte
for how in length control; do
    e2e_begin "corrupt-$how"
    plugins_at 'C:\PS\Plugins' "$E2E_C/PS/Plugins"
    previous zrfilt32.8bf
    f=$E2E_DIST/zrfilt32._bf
    if [ "$how" = length ]; then
        printf '\xff\xff\x00\x00' | dd of="$f" bs=1 seek=10 conv=notrunc 2>/dev/null
    else
        printf '\x00' | dd of="$f" bs=1 seek=14 conv=notrunc 2>/dev/null   # first control byte: literals become matches
    fi
    through
    ends_on 'Alert!'
    check "corrupt-$how: previous filter intact" unchanged zrfilt32.8bf
    row_end
done

# a missing source in each record position taken on NT
for src in msvcrt20._ll zrsupp32._ll zrfilt32._bf; do
    e2e_begin "missing-$src"
    plugins_at 'C:\PS\Plugins' "$E2E_C/PS/Plugins"
    rm "$E2E_DIST/$src"
    # (with an installed runtime the age test cannot read the missing source
    # and keeps the installed one silently; without one the copy is tried)
    [ "$src" = msvcrt20._ll ] && rm -f "$E2E_SYS/msvcrt20.dll"
    through
    ends_on 'Alert!'
    case $src in
        msvcrt20._ll) check "missing-$src: nothing installed" [ -z "$(ls "$PS")" ] ;;
        zrsupp32._ll) check "missing-$src: record 3 not tried" no_file "$PS/zrfilt32.8bf" ;;
        zrfilt32._bf) check "missing-$src: record 2 installed" same_file "$P/zrsupp32.dll" "$PS/zrsupp32.dll" ;;
    esac
    row_end
done

# Cancel while a big file is copied (big enough to stay on the screen for
# the click): it is finished, then FAILURE.
e2e_begin cancel-during-copy
plugins_at 'C:\PS\Plugins' "$E2E_C/PS/Plugins"
big_source zrsupp32._ll 192 zrsupp32.dll
through
check "cancel: INSTALLING appears" e2e_page 'Installing...' 30
e2e_du_click 'Installing...' 104 72 207 81
ends_on 'Warning...'
check "cancel: the file being copied is complete" same_file "$E2E_SHOTS/$E2E_NAME-big" "$PS/zrsupp32.dll"
check "cancel: the next file is not copied" no_file "$PS/zrfilt32.8bf"
row_end

# The main window's close box while copying is ignored until the end.
e2e_begin close-during-copy
plugins_at 'C:\PS\Plugins' "$E2E_C/PS/Plugins"
big_source zrsupp32._ll 192 zrsupp32.dll
through
check "close: INSTALLING appears" e2e_page 'Installing...' 30
xdotool mousemove 1011 11 click 1; sleep 0.3           # the close box
xdotool mousemove 500 11 click 1; sleep 0.3            # activate the main window,
xdotool key --clearmodifiers alt+F4                    # then Alt+F4 to it
if xdotool search --onlyvisible --name '^Installing...$' >/dev/null 2>&1; then
    # still copying after both requests: the sequence must run to its end
    check "close: the main window is still there" e2e_page 'Vellox 2.0 Setup' 1
    ends_on 'Congratulations...'
else
    echo "note: close-during-copy: the copy ended before the requests arrived"
    e2e_page 'Congratulations...' 10 && e2e_key Return
    check "close: setup.exe ends" e2e_wait_exit 20
    check "close: exit code 0" [ "${E2E_RC:-}" = 0 ]
fi
check "close: every file installed" same_file "$P/zrfilt32.8bf" "$PS/zrfilt32.8bf"
check "close: big file complete" same_file "$E2E_SHOTS/$E2E_NAME-big" "$PS/zrsupp32.dll"
row_end

# setup.exe started from a directory too deep for the 160-character path
# buffers: its own directory cannot be had, so the first record fails with
# a message after the pages, and nothing is installed. The payload lies one
# level up as well, where the module path cut at 160 characters points; it
# must not be taken from there either.
e2e_begin deep-start
plugins_at 'C:\PS\Plugins' "$E2E_C/PS/Plugins"
deep=$(for i in 1 2 3 4; do printf 'level%d-%s/' "$i" "$(printf 'd%.0s' $(seq 34))"; done)
mkdir -p "$E2E_C/$deep"
cp "$E2E_DIST"/*._?? "$E2E_C/${deep%level4-*}"
mv "$E2E_DIST"/* "$E2E_C/$deep"
E2E_DIST=$E2E_C/$deep
E2E_EXE="C:\\$(printf '%s' "$deep" | tr / '\\')setup.exe"
check "deep-start: the directory is longer than 160 characters" [ $(( ${#E2E_EXE} - 9 )) -gt 160 ]
cp "$E2E_SYS/msvcrt20.dll" "$E2E_SHOTS/$E2E_NAME-msvcrt20.before"
through
ends_on 'Alert!'
check "deep-start: nothing installed" [ -z "$(ls "$PS")" ]
check "deep-start: installed runtime untouched" same_file "$E2E_SHOTS/$E2E_NAME-msvcrt20.before" "$E2E_SYS/msvcrt20.dll"
row_end

# Directory texts: 146 characters fit, 147 and 158 are refused on the page.
long_dir() { # length: c:\ + 100 x + \ + y... 
    local n=$(( $1 - 104 ))
    printf 'c:\\%s\\%s' "$(printf 'x%.0s' $(seq 100))" "$(printf 'y%.0s' $(seq $n))"
}
for len in 146 147 158; do
    e2e_begin "dir-$len"
    mkdir -p "$E2E_C/$(printf 'x%.0s' $(seq 100))"
    PS=$E2E_C/$(printf 'x%.0s' $(seq 100))
    to_plugin -s
    xdotool type --delay 5 "$(long_dir $len)"; sleep 0.3
    e2e_key Return
    if [ "$len" = 146 ]; then
        ends_on 'Congratulations...'
        check "dir-146: installed" same_file "$P/zrfilt32.8bf" "$PS/$(printf 'y%.0s' $(seq 42))/zrfilt32.8bf"
    else
        check "dir-$len: refused with a message" e2e_page 'Alert!' 10
        e2e_shot refused
        e2e_key Return
        check "dir-$len: still on the directory page" e2e_page 'Plug-in location...' 5
        e2e_key Escape
        ends_on 'Warning...'
        check "dir-$len: nothing created" [ -z "$(ls "$PS")" ]
    fi
    row_end
done

# Directories that cannot be: a drive that does not exist, only blanks,
# characters the file system refuses.
for row in 'nodrive|q:\plugins' 'blanks|    ' 'badchars|c:\a<b>|c'; do
    name=${row%%|*}; text=${row#*|}
    e2e_begin "dir-$name"
    to_plugin -s
    xdotool type --delay 20 "$text"; sleep 0.3
    e2e_key Return
    check "dir-$name: not accepted" e2e_gone 'Installing...' 1
    check "dir-$name: no DONE page" sh -c "! xdotool search --onlyvisible --name '^Congratulations...\$' >/dev/null"
    e2e_shot refused
    # whatever page explains it, OK leads back to the directory page
    for cap in 'Bad Path' 'Alert!'; do e2e_page "$cap" 1 && e2e_key Return; done
    check "dir-$name: back on the directory page" e2e_page 'Plug-in location...' 5
    e2e_key Escape
    ends_on 'Warning...'
    row_end
done

# photos30.ini values: longer than the buffer, empty, odd characters.
e2e_begin ini-long
e2e_ini "C:\\$(printf 'z%.0s' $(seq 300))"
to_plugin
e2e_shot proposal
check "ini-long: the page comes up" e2e_page 'Plug-in location...' 1
e2e_key Escape
ends_on 'Warning...'
row_end

e2e_begin ini-empty
e2e_ini ''
through
ends_on 'Congratulations...'
check "ini-empty: fallback directory used" same_file "$P/zrfilt32.8bf" "$E2E_C/plugins/zrfilt32.8bf"
row_end

e2e_begin ini-odd
printf '[Photoshop]\r\nPlugInDirectory=C:\\\xe9t\xe9 %%s %%n "plug"\r\n' > "$E2E_C/windows/photos30.ini"
to_plugin
e2e_shot proposal
e2e_key Return
for cap in 'Bad Path' 'Alert!'; do e2e_page "$cap" 2 && e2e_key Return; done
e2e_page 'Plug-in location...' 5 && e2e_key Escape
e2e_page 'Congratulations...' 2 && e2e_key Return
e2e_page 'Warning...' 2 && e2e_key Return
check "ini-odd: setup.exe ends" e2e_wait_exit 20
check "ini-odd: exit code 0" [ "${E2E_RC:-}" = 0 ]
row_end

e2e_finish
