#!/usr/bin/env bash
# photos30.ini values that are too long, empty or odd, one row each (see
# faults-lib.sh).
. "$(dirname "$0")/e2e-lib.sh"
. "$(dirname "$0")/faults-lib.sh"

# --- rows ----------------------------------------------------------------

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
# taken (DONE), or refused with a page that explains it, or kept silently
cap=$(e2e_page_any 10 'Congratulations...' 'Bad Path' 'Alert!')
echo "ini-odd: after Continue: ${cap:-still the directory page}"
if [ "$cap" = 'Congratulations...' ]; then
    e2e_key Return
else
    [ -n "$cap" ] && e2e_key Return
    e2e_page 'Plug-in location...' 5 && e2e_key Escape
    e2e_page 'Warning...' 10 && e2e_key Return
fi
check "ini-odd: setup.exe ends" e2e_wait_exit 20
check "ini-odd: exit code 0" [ "${E2E_RC:-}" = 0 ]
row_end

e2e_finish
