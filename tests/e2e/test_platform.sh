#!/usr/bin/env bash
# The installer on Win32s as Wine does not show it by itself (version
# win31). Win32s keeps its 32-bit libraries in WIN32S below the system
# directory: a working lz32.dll there and a failing one planted beside
# setup.exe each leave a marker when loaded, and only the one from WIN32S
# may be bound. Browse binds the comdlg32.dll in WIN32S, whose file dialog
# answers with the plug-in directory in place of the proposed one: the
# files land where it answered. The relay trace of the file moves shows
# every rename within one folder: temporary and set-aside files lie beside
# their targets.
. "$(dirname "$0")/e2e-lib.sh"
P=$BUILD_DIR/payload
PLANTED=$SOURCE_DIR/tests/e2e/planted
# Native copies of lz32.dll and comdlg32.dll first, Wine's own second.
export WINEDLLOVERRIDES="lz32,comdlg32=n,b;mscoree,mshtml="

cross=x86_64-w64-mingw32; [ "$WINEARCH" = win32 ] && cross=i686-w64-mingw32
OUT=$BUILD_DIR/test-output/platform
mkdir -p "$OUT/win32s" "$OUT/planted"
build_libraries() {
    $cross-gcc -O2 -shared -Wl,--kill-at "$PLANTED/win32s_lz32.c" -o "$OUT/win32s/lz32.dll" &&
    $cross-gcc -O2 -shared -Wl,--kill-at "$PLANTED/win32s_comdlg32.c" -o "$OUT/win32s/comdlg32.dll" &&
    $cross-gcc -O2 -shared -Wl,--kill-at "$PLANTED/lz32.c" -o "$OUT/planted/lz32.dll"
}
check "stand-in libraries build" build_libraries

# Every MoveFileA in the trace renames within one folder; at least $2 of them.
renames_in_one_folder() {
    local n=0 line from to
    while IFS= read -r line; do
        from=$(sed -n 's/.*MoveFileA([0-9a-f]* "\([^"]*\)",.*/\1/p' <<<"$line")
        to=$(sed -n 's/.*,[0-9a-f]* "\([^"]*\)").*/\1/p' <<<"$line")
        if [ -z "$from" ] || [ -z "$to" ]; then echo "note: unread: $line"; return 1; fi
        if [ "${from%\\*}" != "${to%\\*}" ]; then echo "note: across folders: $from > $to"; return 1; fi
        n=$((n + 1))
    done < <(grep 'Call KERNEL32.MoveFileA(' "$1")
    echo "note: $n renames, each within one folder"
    [ "$n" -ge "$2" ]
}
marker() { printf '%s/%s.txt' "$E2E_C" "$1"; }

e2e_begin win32s-layout
e2e_version win31
mkdir -p "$E2E_SYS/win32s" "$E2E_C/ps/plugins" "$E2E_C/ps/proposed"
cp "$OUT/win32s/lz32.dll" "$OUT/win32s/comdlg32.dll" "$E2E_SYS/win32s/"
cp "$OUT/planted/lz32.dll" "$E2E_DIST/"
e2e_ini 'C:\PS\Proposed'
printf 'previous filter\n' > "$E2E_C/ps/plugins/zrfilt32.8bf"
relay=$E2E_SHOTS/win32s-relay.log
E2E_RELAY=$relay E2E_RELAY_INCLUDE='KERNEL32.MoveFileA;KERNEL32.MoveFileExA;KERNEL32.GetTempFileNameA' \
    e2e_start
check "WELCOME appears" e2e_page 'Welcome!' 30
e2e_key Return
check "PLATFORM appears" e2e_page 'Platform'
e2e_key Return
check "PLUGIN appears" e2e_page 'Plug-in location...'
e2e_du_click 'Plug-in location...' 207 74 235 116
check "Browse called the file dialog of WIN32S's comdlg32.dll" e2e_wait_file "$(marker win32s-comdlg32-open)"
e2e_du_click 'Plug-in location...' 207 9 235 116
check "DONE appears" e2e_page 'Congratulations...' 30
e2e_key Return
check "setup.exe ends" e2e_wait_exit 20
check "exit code 0" [ "$E2E_RC" = 0 ]
check "lz32.dll from WIN32S was bound" [ -f "$(marker win32s-lz32)" ]
check "lz32.dll beside setup.exe was not" no_file "$(marker planted-lz32)"
check "comdlg32.dll from WIN32S was bound" [ -f "$(marker win32s-comdlg32)" ]
check "nothing installed in the proposed directory" [ -z "$(ls "$E2E_C/ps/proposed")" ]
check "Win32s C runtime installed" same_file "$P/msvcrt20-win32s.dll" "$E2E_SYS/msvcrt20.dll"
check "support library installed byte-exact" same_file "$P/zrsupp32.dll" "$E2E_C/ps/plugins/zrsupp32.dll"
check "previous filter replaced byte-exact" same_file "$P/zrfilt32.8bf" "$E2E_C/ps/plugins/zrfilt32.8bf"
check "no temporary or set-aside file left in the plug-in folder" no_temp_files "$E2E_C/ps/plugins"
# Win32s may have the old runtime open: its set-aside copy waits for the
# next run, which removes it.
check "the old runtime set aside for the next run" [ "$(find "$E2E_SYS" -maxdepth 1 -iname 'zro1???.tmp' | wc -l)" = 1 ]
check "no GetTempFileNameA" not_called "$relay" GetTempFileNameA
check "no MoveFileExA" not_called "$relay" MoveFileExA
check "every rename within one folder" renames_in_one_folder "$relay" 5
e2e_end

e2e_finish
