#!/usr/bin/env bash
# Faults of a hostile, full or broken machine, one row each: the page the
# installer must end on, exit code 0, no temporary file, and every file
# that was there before left byte-identical (see faults-lib.sh). The rows
# of the other test_faults_*.sh scripts run beside these.
. "$(dirname "$0")/e2e-lib.sh"
. "$(dirname "$0")/faults-lib.sh"

# --- rows ----------------------------------------------------------------

# disk full: the plug-in directory on a drive of 24 KB.
e2e_begin disk-full
m=$(mktemp -d /tmp/e2e-full.XXXXXX)
if mount -t tmpfs -o size=24k tmpfs "$m" 2>/dev/null; then
    MOUNTS+=("$m"); map_drive d "$m"; plugins_at 'D:\' "$m"
    previous_set
    through
    ends_on 'Alert!'
    check "disk-full: previous plug-in and runtime intact" set_unchanged
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

# The last target held open without sharing by another program: its replace
# fails after the runtime's and the support library's, which go back.
e2e_begin "held-open-$ver"
[ "$ver" = nt ] || e2e_version "$ver"
plugins_at 'C:\PS\Plugins' "$E2E_C/PS/Plugins"
previous_set
cp "$BUILD_DIR/tests/e2e/holdopen.exe" "$E2E_C/holdopen.exe"
"$WINE_BIN" 'C:\holdopen.exe' 'C:\PS\Plugins\zrfilt32.8bf' 60 'C:\held' >/dev/null 2>&1 &
holder=$!
check "held-open-$ver: the helper holds the file" e2e_wait_file "$E2E_C/held" 30
through
ends_on 'Alert!'
check "held-open-$ver: every target as it was" set_unchanged
check "held-open-$ver: nothing set aside left" [ "$(ls "$PS" | tr '\n' ' ')" = 'zrfilt32.8bf zrsupp32.dll ' ]
kill "$holder" 2>/dev/null
row_end

done

# Windows 95, -m, with the runtime loaded by a program (held open here,
# which 95 cannot rename either): the checked runtime waits for the restart
# in WININIT.INI, the plug-ins are installed, and the last page says so.
e2e_begin runtime-in-use-win95
e2e_version win95
plugins_at 'C:\PS\Plugins' "$E2E_C/PS/Plugins"
previous_set
rm -f "$E2E_C/windows/wininit.ini"
cp "$BUILD_DIR/tests/e2e/holdopen.exe" "$E2E_C/holdopen.exe"
"$WINE_BIN" 'C:\holdopen.exe' 'C:\windows\system32\msvcrt20.dll' 60 'C:\held' >/dev/null 2>&1 &
holder=$!
check "runtime-in-use-win95: the helper holds the runtime" e2e_wait_file "$E2E_C/held" 30
through -m
ends_on 'Restart Windows...'
kill "$holder" 2>/dev/null
check "runtime-in-use-win95: runtime not yet replaced" \
    _same_dated "$E2E_SHOTS/$E2E_NAME-runtime.before" "$E2E_SYS/msvcrt20.dll"
pending=$(find "$E2E_SYS" -maxdepth 1 -iname 'zrn0???.tmp')
check "runtime-in-use-win95: the checked runtime waits beside it" same_file "$P/msvcrt20.dll" "$pending"
check "runtime-in-use-win95: one [rename] line, to it" \
    [ "$(tr -d '\r' < "$E2E_C/windows/wininit.ini" | grep -ic '^c:\\windows\\system32\\msvcrt20.dll=c:\\windows\\system32\\zrn0...\.tmp$')" = 1 ]
check "runtime-in-use-win95: plug-ins installed" same_file "$P/zrfilt32.8bf" "$PS/zrfilt32.8bf"
rm -f "$pending"
row_end

# A runtime the system owns (immutable: access denied, as on Windows 10) is
# kept and DONE shown; the Windows directory takes no new file either, so
# the commit's record goes to the temporary folder.
e2e_begin runtime-owned-by-system
plugins_at 'C:\PS\Plugins' "$E2E_C/PS/Plugins"
rt=$E2E_SYS/msvcrt20.dll
cp -p "$rt" "$rt.own"; mv "$rt.own" "$rt"   # its own inode, not the template's
cp -p "$rt" "$E2E_SHOTS/$E2E_NAME-runtime.before"
if chattr +i "$rt" "$E2E_C/windows" 2>/dev/null; then
    through -m; ends_on 'Congratulations...'; chattr -i "$rt" "$E2E_C/windows"
    check "runtime-owned-by-system: runtime kept, plug-ins installed" sh -c "cmp -s '$E2E_SHOTS/$E2E_NAME-runtime.before' '$rt' && cmp -s '$P/zrfilt32.8bf' '$PS/zrfilt32.8bf'"
    check "runtime-owned-by-system: no commit record left" sh -c "! find '$E2E_C' -iname vellox20.cmt | grep -q ."
else echo "skip: runtime-owned-by-system (no chattr +i here)"; fi
row_end

# A second setup.exe while one runs shows the first one and ends at once.
e2e_begin second-instance
e2e_start
(cd "$E2E_DIST" && exec "$WINE_BIN" "$E2E_EXE" >/dev/null 2>&1) & second=$!
_e2e_deadline 30; while kill -0 "$second" 2>/dev/null && ! _e2e_expired; do sleep 0.1; done
check "second-instance: the second ends, one WELCOME left" sh -c "! kill -0 $second 2>/dev/null && [ \$(xdotool search --onlyvisible --name '^Welcome!\$' | wc -l) = 1 ]"
e2e_key Escape
check "second-instance: the first one goes on" e2e_wait_exit 20
row_end

e2e_finish
