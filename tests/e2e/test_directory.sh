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

# in_dir WINDOWS-DIR UNIX-DIR: setup.exe and its files moved there.
in_dir() { mkdir -p "$(dirname "$2")"; mv "$E2E_DIST" "$2"; E2E_DIST=$2; E2E_EXE="$1\\setup.exe"; }

# Code page 932: in "ソ" and "表" the second byte is a backslash, in "グ"
# and "イ" an upper-case letter.
e2e_begin cp932
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
in_dir 'C:\ソフト\表' "$E2E_C/ソフト/表"
mkdir -p "$E2E_C/画像"
printf '[Photoshop]\r\nPlugInDirectory=C:\\画像\\プラグイン\r\n' | iconv -t CP932 > "$E2E_C/windows/photos30.ini"
to_plugin_page
e2e_shot proposal
e2e_key Return
finish_install
check "cp932: installed into C:\\画像\\プラグイン" same_file "$P/zrfilt32.8bf" "$E2E_C/画像/プラグイン/zrfilt32.8bf"
e2e_end

# Code page 1252 has no "Ł": setup.exe in such a folder, and a new such
# folder typed in (on a Polish layout, where "Ł" has a key), are reached
# by their short names.
e2e_begin not-in-code-page
export LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8
in_dir 'C:\users\Łukasz\Downloads\vellox' "$E2E_C/users/Łukasz/Downloads/vellox"
setxkbmap pl
to_plugin_page -s
check "not in the code page: the field holds the typed name" e2e_type_field 'Plug-in location...' 'C:\Wtyczki Łukasza'
e2e_shot typed
e2e_key Return
finish_install
check "not in the code page: installed into the typed folder" same_file "$P/zrfilt32.8bf" "$E2E_C/Wtyczki Łukasza/zrfilt32.8bf"
check "not in the code page: no look-alike folder" no_file "$E2E_C/Wtyczki Lukasza"
e2e_end
export LANG=C.UTF-8; unset LC_ALL

# Vista and later: the host that is not elevated wrote its photos30.ini
# into the VirtualStore; that copy goes first.
e2e_begin virtualstore
e2e_ini 'C:\WINDIR\PLUGINS'
store=$(echo "$E2E_C"/users/*/AppData/Local)/VirtualStore/windows   # the user's, not Public's
mkdir -p "$store" "$E2E_C/HOST"
printf '[Photoshop]\r\nPlugInDirectory=C:\\HOST\\PLUGINS\r\n' > "$store/photos30.ini"
to_plugin_page
e2e_key Return
finish_install
check "virtualstore: installed into its C:\\HOST\\PLUGINS" same_file "$P/zrfilt32.8bf" "$E2E_C/HOST/PLUGINS/zrfilt32.8bf"
e2e_end

e2e_finish
