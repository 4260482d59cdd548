#!/usr/bin/env bash
# Libraries planted beside setup.exe in its download folder are not loaded:
# stand-in lz32.dll and comdlg32.dll that leave a marker file when loaded
# sit in C:\dist, Wine is told to prefer such native copies, and a whole
# install with a Browse runs as usual without leaving a marker. A small
# program that imports both libraries the ordinary way shows that the
# stand-ins are taken where nothing prevents it.
. "$(dirname "$0")/e2e-lib.sh"
P=$BUILD_DIR/payload
PLANTED=$SOURCE_DIR/tests/e2e/planted
# Native (planted) copies first, Wine's own second.
export WINEDLLOVERRIDES="lz32,comdlg32=n,b;mscoree,mshtml="

cross=x86_64-w64-mingw32; [ "$WINEARCH" = win32 ] && cross=i686-w64-mingw32
OUT=$BUILD_DIR/test-output/planted
mkdir -p "$OUT"

# The stand-ins and the importing program, built with the installer's compiler.
build_planted() {
    $cross-gcc -O2 -shared -Wl,--kill-at "$PLANTED/lz32.c" -o "$OUT/lz32.dll" &&
    $cross-gcc -O2 -shared -Wl,--kill-at "$PLANTED/comdlg32.c" -o "$OUT/comdlg32.dll" &&
    $cross-gcc -O2 "$PLANTED/importer.c" -o "$OUT/importer.exe" -llz32 -lcomdlg32
}
check "stand-in libraries and importer build" build_planted

# The DLL names a PE file imports, lower case, one a line.
imports() { $cross-objdump -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z'; }
lacks_import() { ! imports "$1" | grep -qx "$2"; }
has_import() { imports "$1" | grep -qx "$2"; }
check "setup.exe does not import lz32.dll" lacks_import "$DIST_DIR/setup.exe" lz32.dll
check "setup.exe does not import comdlg32.dll" lacks_import "$DIST_DIR/setup.exe" comdlg32.dll
check "the importer does import lz32.dll" has_import "$OUT/importer.exe" lz32.dll
check "the importer does import comdlg32.dll" has_import "$OUT/importer.exe" comdlg32.dll

plant() { cp "$OUT/lz32.dll" "$OUT/comdlg32.dll" "$E2E_DIST"/; }
marker() { printf '%s/planted-%s.txt' "$E2E_C" "$1"; }

# Control: a program importing the libraries statically takes the stand-ins.
e2e_begin planted-control
plant
cp "$OUT/importer.exe" "$E2E_DIST"/
said=$(cd "$E2E_DIST" && "$WINE_BIN" 'C:\dist\importer.exe' 2>/dev/null </dev/null | tr -d '\r')
check "control: the importer called the stand-in LZStart (it said '$said')" [ "$said" = "LZStart -8" ]
check "control: planted lz32.dll was loaded" [ -f "$(marker lz32)" ]
check "control: planted comdlg32.dll was loaded" [ -f "$(marker comdlg32)" ]
e2e_end

# setup.exe from the same folder: a whole install with a Browse on the way.
e2e_begin planted-setup
plant
mkdir -p "$E2E_C/ps/plugins"
e2e_ini 'C:\PS\Plugins'
e2e_start
check "WELCOME appears" e2e_page 'Welcome!' 30
e2e_key Return
check "PLATFORM appears" e2e_page 'Platform'
e2e_key Return
check "PLUGIN appears" e2e_page 'Plug-in location...'
e2e_du_click 'Plug-in location...' 207 74 235 116
check "Browse opens the file dialog" e2e_page "Plug-in's directory..." 20
e2e_shot browse
e2e_key Escape
check "Escape closes the file dialog" e2e_gone "Plug-in's directory..." 10
check "PLUGIN is still up" e2e_page 'Plug-in location...' 5
e2e_du_click 'Plug-in location...' 207 9 235 116
check "DONE appears" e2e_page 'Congratulations...' 30
e2e_shot done
e2e_key Return
check "setup.exe ends" e2e_wait_exit 20
check "exit code 0" [ "$E2E_RC" = 0 ]
check "support library installed byte-exact" same_file "$P/zrsupp32.dll" "$E2E_C/ps/plugins/zrsupp32.dll"
check "filter installed byte-exact" same_file "$P/zrfilt32.8bf" "$E2E_C/ps/plugins/zrfilt32.8bf"
check "C runtime installed byte-exact" same_file "$P/msvcrt20.dll" "$E2E_SYS/msvcrt20.dll"
check "planted lz32.dll was not loaded" no_file "$(marker lz32)"
check "planted comdlg32.dll was not loaded" no_file "$(marker comdlg32)"
e2e_end

e2e_finish
