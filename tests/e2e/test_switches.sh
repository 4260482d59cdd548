#!/usr/bin/env bash
# The command-line switches: -n (C runtime into the Windows directory),
# -m (replace an existing C runtime), -s (no directory proposal), and the
# age test that keeps a C runtime that is not older without -m.
. "$(dirname "$0")/e2e-lib.sh"
P=$BUILD_DIR/payload

quick_install() { # Enter through every page
    e2e_page 'Welcome!' 30 && e2e_key Return
    e2e_page 'Platform' && e2e_key Return
    e2e_page 'Plug-in location...' && e2e_key Return
    check "DONE appears" e2e_page 'Congratulations...' 30
    e2e_key Return
    e2e_wait_exit 20
}

e2e_begin switch-n
mkdir -p "$E2E_C/ps/plugins"; e2e_ini 'C:\PS\Plugins'
before=$(md5sum < "$E2E_SYS/msvcrt20.dll" 2>/dev/null || echo none)
e2e_start -n
quick_install
check "-n: C runtime in the Windows directory" same_file "$P/msvcrt20.dll" "$E2E_C/windows/msvcrt20.dll"
check "-n: system directory untouched" [ "$before" = "$(md5sum < "$E2E_SYS/msvcrt20.dll" 2>/dev/null || echo none)" ]
check "-n: plug-ins unaffected" same_file "$P/zrsupp32.dll" "$E2E_C/ps/plugins/zrsupp32.dll"
e2e_end

# A C runtime newer than the packed source is kept without -m ...
e2e_begin keep-newer
mkdir -p "$E2E_C/ps/plugins"; e2e_ini 'C:\PS\Plugins'
printf 'existing runtime, newer than the source\n' > "$E2E_SYS/msvcrt20.dll"
touch -d '2030-01-01 12:00' "$E2E_SYS/msvcrt20.dll"
cp "$E2E_SYS/msvcrt20.dll" "$BUILD_DIR/test-output/e2e/keep-newer.ref"
e2e_start
quick_install
check "no -m: a newer C runtime is kept" same_file "$BUILD_DIR/test-output/e2e/keep-newer.ref" "$E2E_SYS/msvcrt20.dll"
e2e_end

# ... and replaced with -m.
e2e_begin force-m
mkdir -p "$E2E_C/ps/plugins"; e2e_ini 'C:\PS\Plugins'
printf 'existing runtime, newer than the source\n' > "$E2E_SYS/msvcrt20.dll"
touch -d '2030-01-01 12:00' "$E2E_SYS/msvcrt20.dll"
e2e_start -m
quick_install
check "-m: the C runtime is replaced" same_file "$P/msvcrt20.dll" "$E2E_SYS/msvcrt20.dll"
e2e_end

# An older C runtime is replaced without -m.
e2e_begin replace-older
mkdir -p "$E2E_C/ps/plugins"; e2e_ini 'C:\PS\Plugins'
printf 'old runtime\n' > "$E2E_SYS/msvcrt20.dll"
touch -d '1996-01-01 12:00' "$E2E_SYS/msvcrt20.dll"
e2e_start
quick_install
check "no -m: an older C runtime is replaced" same_file "$P/msvcrt20.dll" "$E2E_SYS/msvcrt20.dll"
e2e_end

# -s: nothing proposed, Continue disabled until something is typed.
e2e_begin switch-s
mkdir -p "$E2E_C/typed"; e2e_ini 'C:\PS\Plugins'
e2e_start -s
e2e_page 'Welcome!' 30 && e2e_key Return
e2e_page 'Platform' && e2e_key Return
check "PLUGIN appears" e2e_page 'Plug-in location...'
e2e_shot empty-directory
e2e_key Return
check "-s: Enter on an empty directory stays on the page" e2e_page 'Plug-in location...' 1
e2e_type 'c:\typed'
e2e_key Return
check "DONE appears" e2e_page 'Congratulations...' 30
e2e_key Return
e2e_wait_exit 20
check "-s: installed into the typed directory" same_file "$P/zrfilt32.8bf" "$E2E_C/typed/zrfilt32.8bf"
check "-s: nothing in the ini's directory" no_file "$E2E_C/ps"
e2e_end

e2e_finish
