#!/usr/bin/env bash
# The plug-in directory page: the drive search when the ini names nothing,
# the fallback, creating the last component, the BADPATH page, and blanks
# typed after the directory.
. "$(dirname "$0")/e2e-lib.sh"
P=$BUILD_DIR/payload

to_plugin_page() {
    e2e_start "$@"
    e2e_page 'Welcome!' 30 && e2e_key Return
    e2e_page 'Platform' && e2e_key Return
    check "PLUGIN appears" e2e_page 'Plug-in location...'
}
finish_install() {
    check "DONE appears" e2e_page 'Congratulations...' 30
    e2e_key Return
    e2e_wait_exit 20
}

# No ini: \photoshp\plugins on C: is found by the drive search.
e2e_begin search
mkdir -p "$E2E_C/PHOTOSHP/PLUGINS"
to_plugin_page
e2e_shot found
e2e_key Return
finish_install
check "search: installed into C:\\PHOTOSHP\\PLUGINS" same_file "$P/zrsupp32.dll" "$E2E_C/PHOTOSHP/PLUGINS/zrsupp32.dll"
e2e_end

# \win32app\photoshp\plugins is the second candidate.
e2e_begin search-win32app
mkdir -p "$E2E_C/win32app/photoshp/plugins"
to_plugin_page
e2e_key Return
finish_install
check "search: installed into C:\\win32app\\photoshp\\plugins" same_file "$P/zrsupp32.dll" "$E2E_C/win32app/photoshp/plugins/zrsupp32.dll"
e2e_end

# Nothing found: "c:\plugins", created on Continue.
e2e_begin fallback
to_plugin_page
e2e_key Return
finish_install
check "fallback: c:\\plugins created and used" same_file "$P/zrfilt32.8bf" "$E2E_C/plugins/zrfilt32.8bf"
e2e_end

# c:\a\b with no c:\a: BADPATH, then back on the page to correct it.
e2e_begin badpath
to_plugin_page
e2e_key End shift+Home BackSpace
e2e_type 'c:\a\b'
e2e_key Return
check "BADPATH appears" e2e_page 'Bad Path' 5
e2e_shot badpath
e2e_key Return
check "back on PLUGIN" e2e_page 'Plug-in location...' 5
check "c:\\a not created" no_file "$E2E_C/a"
e2e_key End shift+Home BackSpace
e2e_type 'c:\a'
e2e_key Return
finish_install
check "corrected directory used" same_file "$P/zrsupp32.dll" "$E2E_C/a/zrsupp32.dll"
e2e_end

# Blanks typed after the directory are dropped on Continue, not carried
# into the names of the files copied there.
e2e_begin trailing-blanks
mkdir -p "$E2E_C/PS/PLUGINS"
to_plugin_page -s
e2e_type 'C:\PS\PLUGINS   '
e2e_key Return
finish_install
check "trailing blanks: support library in C:\\PS\\PLUGINS" same_file "$P/zrsupp32.dll" "$E2E_C/PS/PLUGINS/zrsupp32.dll"
check "trailing blanks: filter in C:\\PS\\PLUGINS" same_file "$P/zrfilt32.8bf" "$E2E_C/PS/PLUGINS/zrfilt32.8bf"
check "trailing blanks: exit code 0" [ "${E2E_RC:-}" = 0 ]
e2e_end

e2e_finish
