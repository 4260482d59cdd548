#!/usr/bin/env bash
# Release media made by scripts/release.sh: the zip, the floppy image and
# the CD image read back with unzip, mtools and xorriso and compared with
# the files they were made from; made twice, byte-identical; a vendor's
# payload directory taken, or refused before anything is written; and one
# whole install under Wine from the files copied out of the floppy image.
. "$(dirname "$0")/e2e-lib.sh"
R=$SOURCE_DIR/scripts/release.sh
T=$BUILD_DIR/test-output/release
rm -rf "$T"
mkdir -p "$T"
names="setup.exe msvcrt20._ll msvcrt20._2s zrsupp32._ll zrfilt32._bf"
packed="msvcrt20._ll msvcrt20._2s zrsupp32._ll zrfilt32._bf"
upper() { tr a-z A-Z; }
sorted_words() { tr ' ' '\n' | sed '/^$/d' | sort; }
same_list() { [ "$(printf '%s\n' "$1" | sorted_words)" = "$(printf '%s\n' "$2" | sorted_words)" ]; }
all_same_files() { # DIR-A DIR-B NAME...: each name byte-identical in both
    local a=$1 b=$2 n; shift 2
    for n in "$@"; do cmp -s "$a/$n" "$b/$n" || { echo "  differs: $n" >&2; return 1; }; done
}
boot_fs_type() { dd if="$1" bs=1 skip=54 count=8 2>/dev/null; }
# ISO 9660 level 1: at most eight upper-case d-characters, a dot, three more.
level1_names() { local n; for n in $1; do [[ $n =~ ^[A-Z0-9_]{1,8}\.[A-Z0-9_]{0,3}\;1$ ]] || return 1; done; }

# check_media TAG DIR SETUP-DIR PAYLOAD-DIR: the three images in DIR hold
# setup.exe from SETUP-DIR and the packed files from PAYLOAD-DIR, byte for byte.
check_media() {
    local tag=$1 dir=$2 src=$3 pay=$4 x n
    local zip=$dir/vellox20.zip img=$dir/vellox20-floppy.img iso=$dir/vellox20.iso
    x=$T/read-$tag
    rm -rf "$x"; mkdir -p "$x/src" "$x/zip" "$x/floppy" "$x/iso"
    cp "$src/setup.exe" "$x/src/"
    for n in $packed; do cp "$pay/$n" "$x/src/"; done
    check "$tag: SHA256SUMS match the three images" \
        bash -c "cd '$dir' && sha256sum --quiet -c SHA256SUMS && [ \$(wc -l < SHA256SUMS) = 3 ]"

    check "$tag: zip holds the five names at the top level" \
        same_list "$(unzip -Z1 "$zip" | tr '\n' ' ')" "$names"
    (cd "$x/zip" && unzip -q "$zip")
    check "$tag: zip members byte-identical" all_same_files "$x/src" "$x/zip" $names

    check "$tag: floppy image is exactly 1,474,560 bytes" [ "$(stat -c %s "$img")" = 1474560 ]
    check "$tag: floppy is FAT12" [ "$(boot_fs_type "$img")" = "FAT12   " ]
    check "$tag: floppy volume label VELLOX20" bash -c "mlabel -s -i '$img' :: | grep -q 'is VELLOX20'"
    check "$tag: floppy holds the five files under 8.3 names" \
        same_list "$(mdir -b -i "$img" :: | sed 's|^::/||' | tr '\n' ' ')" "$(echo "$names" | upper)"
    mcopy -m -i "$img" '::*' "$x/floppy/"
    for n in $names; do mv "$x/floppy/$(echo "$n" | upper)" "$x/floppy/$n" 2>/dev/null; done
    check "$tag: floppy files byte-identical" all_same_files "$x/src" "$x/floppy" $names

    local plain joliet
    plain=$(xorriso -read_fs ecma119 -ecma119_map unmapped -indev "$iso" -ls / 2>/dev/null | tr -d "'" | tr '\n' ' ')
    joliet=$(xorriso -indev "$iso" -ls / 2>/dev/null | tr -d "'" | tr '\n' ' ')
    check "$tag: CD holds ISO 9660 level 1 names ($plain)" \
        bash -c "$(declare -f level1_names); level1_names '$plain'"
    check "$tag: CD level 1 names are the five files" \
        same_list "$(echo "$plain" | sed 's/;1//g')" "$(echo "$names" | upper)"
    check "$tag: CD Joliet names are the five files" same_list "$joliet" "$names"
    check "$tag: CD volume id VELLOX20" \
        bash -c "xorriso -indev '$iso' -pvd_info 2>/dev/null | grep -q '^Volume Id *: VELLOX20\$'"
    xorriso -osirrox on -indev "$iso" -extract / "$x/iso" >/dev/null 2>&1
    check "$tag: CD files byte-identical" all_same_files "$x/src" "$x/iso" $names
}

# Media of the program that runs here, made twice: the second time at
# another second, in another time zone and with another umask.
echo "Media made from $DIST_DIR (the build this machine runs)"
check "release.sh --dist succeeds" bash "$R" --dist "$DIST_DIR" --out "$T/a"
check_media test "$T/a" "$DIST_DIR" "$DIST_DIR"
start=$(date +%s)
until [ "$(date +%s)" != "$start" ]; do sleep 0.1; done   # another second
(umask 077; TZ=Pacific/Chatham bash "$R" --dist "$DIST_DIR" --out "$T/b" >/dev/null 2>&1)
check "made twice, the media are byte-identical" \
    all_same_files "$T/a" "$T/b" vellox20.zip vellox20-floppy.img vellox20.iso SHA256SUMS

# The 32-bit product, where it is built beside a 64-bit test build: its
# media are read back here, but cannot be installed on this machine.
if [ "$WINEARCH" = win64 ] && [ -f "$BUILD_DIR/win32/dist/setup.exe" ]; then
    echo "Media made from $BUILD_DIR/win32/dist (the 32-bit product; read back, not run here)"
    check "release.sh with the 32-bit product succeeds" \
        bash "$R" --dist "$BUILD_DIR/win32/dist" --out "$T/product"
    check_media product "$T/product" "$BUILD_DIR/win32/dist" "$BUILD_DIR/win32/dist"
fi

# A vendor's payload directory: its files are shipped, and a runtime dated
# on purpose keeps its date on the floppy.
V=$T/vendor
mkdir -p "$V"
for n in $packed; do cp "$DIST_DIR/$n" "$V/"; done
echo "random input: the vendor's filter, 40000 bytes from seed 89"
seeded_bytes 89 40000 > "$T/filter.8bf"
"$HOST_TOOLS_DIR/lzpack" -n zrfilt32.8bf "$T/filter.8bf" "$V/zrfilt32._bf"
touch -d '2024-05-01 12:00' "$V/msvcrt20._ll"
check "release.sh --payload succeeds" bash "$R" --dist "$DIST_DIR" --payload "$V" --out "$T/vendor-media"
check_media vendor "$T/vendor-media" "$DIST_DIR" "$V"
check "vendor: the dated runtime keeps its date on the floppy" \
    bash -c "mdir -i '$T/vendor-media/vellox20-floppy.img' ::MSVCRT20._LL | grep -q '2024-05-01  12:00'"

# Refused payload directories, one row each: what is done to a good copy,
# and what the message must say. Nothing may be written.
while IFS='|' read -r what change message; do
    P=$T/refused-payload
    rm -rf "$P" "$T/refused"
    mkdir -p "$P"
    for n in $packed; do cp "$DIST_DIR/$n" "$P/"; done
    (cd "$P" && eval "$change")
    msg=$(bash "$R" --dist "$DIST_DIR" --payload "$P" --out "$T/refused" 2>&1 >/dev/null)
    rc=$?
    check "refused, $what: exit status 1 ($rc)" [ "$rc" = 1 ]
    check "refused, $what: the message says '$message'" bash -c "[[ \$1 == *\"\$2\"* ]]" _ "$msg" "$message"
    check "refused, $what: nothing written" no_file "$T/refused"
done <<'EOF'
file missing|rm zrsupp32._ll|refused-payload/zrsupp32._ll: missing
file not packed|printf 'MZ plain' > msvcrt20._2s|refused-payload/msvcrt20._2s: not a packed (SZDD) file
file cut off|head -c 200 zrsupp32._ll > cut && mv cut zrsupp32._ll|refused-payload/zrsupp32._ll: does not unpack
foreign file|echo notes > readme.txt|refused-payload/readme.txt: not one of the files
too large for a floppy|seeded_bytes 1500 1500000 > big && "$HOST_TOOLS_DIR/lzpack" -n zrfilt32.8bf big zrfilt32._bf && rm big|do not fit on a 1.44 MB floppy
EOF

# One whole install, as from drive A: on Windows 95, of the files copied
# out of the floppy image into a read-only directory.
e2e_begin release-floppy
e2e_version win95
echo "Install under Wine: A:\\SETUP.EXE copied out of $T/a/vellox20-floppy.img (made from $DIST_DIR)"
check "floppy: files copied out of the image into drive A:" e2e_floppy "$T/a/vellox20-floppy.img"
mkdir -p "$E2E_C/ps/plugins"
e2e_ini 'C:\PS\Plugins'
P=$BUILD_DIR/payload
check "floppy: setup.exe starts from A:" e2e_start
check "floppy: WELCOME appears" e2e_page 'Welcome!' 30
e2e_key Return
check "floppy: PLATFORM appears" e2e_page 'Platform'
e2e_shot platform
e2e_key Return
check "floppy: PLUGIN appears" e2e_page 'Plug-in location...'
e2e_key Return
check "floppy: DONE appears" e2e_page 'Congratulations...' 30
e2e_key Return
check "floppy: setup.exe ends" e2e_wait_exit 20
check "floppy: exit code 0" [ "$E2E_RC" = 0 ]
check "floppy: support library installed byte-exact" same_file "$P/zrsupp32.dll" "$E2E_C/ps/plugins/zrsupp32.dll"
check "floppy: filter installed byte-exact" same_file "$P/zrfilt32.8bf" "$E2E_C/ps/plugins/zrfilt32.8bf"
check "floppy: NT/95 C runtime installed byte-exact" same_file "$P/msvcrt20.dll" "$E2E_SYS/msvcrt20.dll"
check "floppy: no temporary files left" no_temp_files "$E2E_C/ps/plugins"
check "floppy: nothing written to A:" same_list "$(ls "$E2E_DIST" | tr '\n' ' ')" "$(echo "$names" | upper)"
e2e_end

e2e_finish
