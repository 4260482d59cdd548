#!/usr/bin/env bash
# Damaged and missing sources, one row each (see faults-lib.sh).
. "$(dirname "$0")/e2e-lib.sh"
. "$(dirname "$0")/faults-lib.sh"

# --- rows ----------------------------------------------------------------

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
check "corrupt-replace-win95: nothing else installed, nothing set aside left" [ "$(ls "$PS")" = zrfilt32.8bf ]
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
        zrfilt32._bf) check "missing-$src: record 2 not installed either" no_file "$PS/zrsupp32.dll" ;;
    esac
    row_end
done

e2e_finish
