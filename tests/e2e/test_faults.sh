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
cp "$BUILD_DIR/tests/e2e/holdopen.exe" "$E2E_C/holdopen.exe"
"$WINE_BIN" 'C:\holdopen.exe' 'C:\PS\Plugins\zrsupp32.dll' 60 'C:\held' >/dev/null 2>&1 &
holder=$!
check "held-open-$ver: the helper holds the file" e2e_wait_file "$E2E_C/held" 30
through
ends_on 'Alert!'
check "held-open-$ver: held file intact" unchanged zrsupp32.dll
check "held-open-$ver: later file not tried" no_file "$PS/zrfilt32.8bf"
check "held-open-$ver: nothing set aside left" [ "$(ls "$PS")" = zrsupp32.dll ]
kill "$holder" 2>/dev/null
row_end

done

e2e_finish
