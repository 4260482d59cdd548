#!/usr/bin/env bash
# Release media made by scripts/release.sh: the zip, the floppy image and
# the CD image read back with unzip, mtools and xorriso and compared with
# the files they were made from; made twice, byte-identical; a vendor's
# payload directory (packed, in any case, or raw and packed on the way)
# taken with its dates, or refused before anything is written; a payload
# too large for a floppy; a tree without git history; a setup.exe alone
# outside any build tree; and one whole install under Wine from the files
# copied out of the floppy image of a vendor's raw files.
# Each image carries the checksum list of its packed files.
. "$(dirname "$0")/e2e-lib.sh"
# Dates on the media are read and written as UTC, as release.sh does.
export TZ=UTC
R=$SOURCE_DIR/scripts/release.sh
T=$BUILD_DIR/test-output/release
rm -rf "$T"
mkdir -p "$T"
names="setup.exe msvcrt20._ll msvcrt20._2s zrsupp32._ll zrfilt32._bf vellox20.crc"
packed="msvcrt20._ll msvcrt20._2s zrsupp32._ll zrfilt32._bf"
upper() { tr a-z A-Z; }
sorted_words() { tr ' ' '\n' | sed '/^$/d' | sort; }
same_list() { [ "$(printf '%s\n' "$1" | sorted_words)" = "$(printf '%s\n' "$2" | sorted_words)" ]; }
all_same_files() { # DIR-A DIR-B NAME...: each name byte-identical in both
    local a=$1 b=$2 n; shift 2
    for n in "$@"; do cmp -s "$a/$n" "$b/$n" || { echo "  differs: $n" >&2; return 1; }; done
}
# list_vouches DIR: DIR/vellox20.crc names each packed file of DIR with the
# size and the CRC-32 (gzip's trailer, an independent computation) of its
# expanded bytes, and nothing else.
list_vouches() {
    local d=$1 n crc size
    [ "$(grep -c . "$d/vellox20.crc")" = 5 ] || return 1
    for n in $packed; do
        "$HOST_TOOLS_DIR/lzpack" -d "$d/$n" "$d/$n.expanded" || return 1
        size=$(stat -c %s "$d/$n.expanded")
        crc=$(gzip -c "$d/$n.expanded" | tail -c 8 | head -c 4 | od -An -tx4 | tr -d ' ' | tr a-f A-F)
        rm -f "$d/$n.expanded"
        grep -q "^$n  *$size $crc"$'\r'"\$" "$d/vellox20.crc" || { echo "  no entry '$n $size $crc'" >&2; return 1; }
    done
}
boot_fs_type() { dd if="$1" bs=1 skip=54 count=8 2>/dev/null; }
# ISO 9660 level 1: at most eight upper-case d-characters, a dot, three more.
level1_names() { local n; for n in $1; do [[ $n =~ ^[A-Z0-9_]{1,8}\.[A-Z0-9_]{0,3}\;1$ ]] || return 1; done; }

# check_media TAG DIR SETUP-DIR PAYLOAD-DIR [no-floppy]: the three images
# in DIR (no floppy image with no-floppy) hold setup.exe from SETUP-DIR and
# the packed files from PAYLOAD-DIR, byte for byte.
check_media() {
    local tag=$1 dir=$2 src=$3 pay=$4 images=3 x n
    local zip=$dir/vellox20.zip img=$dir/vellox20-floppy.img iso=$dir/vellox20.iso
    [ "${5:-}" != no-floppy ] || images=2
    x=$T/read-$tag
    rm -rf "$x"; mkdir -p "$x/src" "$x/zip" "$x/floppy" "$x/iso"
    cp "$src/setup.exe" "$x/src/"
    for n in $packed; do cp "$pay/$n" "$x/src/"; done
    (cd "$pay" && "$HOST_TOOLS_DIR/lzpack" -l $packed) > "$x/src/vellox20.crc"
    check "$tag: SHA256SUMS match the $images images" \
        bash -c "cd '$dir' && sha256sum --quiet -c SHA256SUMS && [ \$(wc -l < SHA256SUMS) = $images ]"

    check "$tag: zip holds the six names at the top level" \
        same_list "$(unzip -Z1 "$zip" | tr '\n' ' ')" "$names"
    (cd "$x/zip" && unzip -q "$zip")
    check "$tag: zip members byte-identical" all_same_files "$x/src" "$x/zip" $names
    check "$tag: zip's checksum list vouches for its packed files" list_vouches "$x/zip"

    if [ "$images" = 2 ]; then
        check "$tag: no floppy image" no_file "$img"
    else
        check "$tag: floppy image is exactly 1,474,560 bytes" [ "$(stat -c %s "$img")" = 1474560 ]
        check "$tag: floppy is FAT12" [ "$(boot_fs_type "$img")" = "FAT12   " ]
        check "$tag: floppy volume label VELLOX20" bash -c "mlabel -s -i '$img' :: | grep -q 'is VELLOX20'"
        check "$tag: floppy holds the six files under 8.3 names" \
            same_list "$(mdir -b -i "$img" :: | sed 's|^::/||' | tr '\n' ' ')" "$(echo "$names" | upper)"
        mcopy -m -i "$img" '::*' "$x/floppy/"
        for n in $names; do mv "$x/floppy/$(echo "$n" | upper)" "$x/floppy/$n" 2>/dev/null; done
        check "$tag: floppy files byte-identical" all_same_files "$x/src" "$x/floppy" $names
        check "$tag: floppy's checksum list vouches for its packed files" list_vouches "$x/floppy"
    fi

    local plain joliet
    plain=$(xorriso -read_fs ecma119 -ecma119_map unmapped -indev "$iso" -ls / 2>/dev/null | tr -d "'" | tr '\n' ' ')
    joliet=$(xorriso -indev "$iso" -ls / 2>/dev/null | tr -d "'" | tr '\n' ' ')
    check "$tag: CD holds ISO 9660 level 1 names ($plain)" \
        bash -c "$(declare -f level1_names); level1_names '$plain'"
    check "$tag: CD level 1 names are the six files" \
        same_list "$(echo "$plain" | sed 's/;1//g')" "$(echo "$names" | upper)"
    check "$tag: CD Joliet names are the six files" same_list "$joliet" "$names"
    check "$tag: CD volume id VELLOX20" \
        bash -c "xorriso -indev '$iso' -pvd_info 2>/dev/null | grep -q '^Volume Id *: VELLOX20\$'"
    xorriso -osirrox on -indev "$iso" -extract / "$x/iso" >/dev/null 2>&1
    check "$tag: CD files byte-identical" all_same_files "$x/src" "$x/iso" $names
    check "$tag: CD's checksum list vouches for its packed files" list_vouches "$x/iso"
}

# dated TAG DIR NAME 'YYYY-MM-DD HH:MM': NAME carries that date in the zip,
# on the floppy (where there is one) and on the CD, read back as check_media
# TAG left it.
dated() {
    local tag=$1 dir=$2 name=$3 when=$4 stamp
    stamp=$(echo "$when" | tr -d ' :-')
    check "$tag: $name dated $when in the zip" \
        bash -c "zipinfo -T '$dir/vellox20.zip' '$name' | grep -q ' ${stamp:0:8}\.${stamp:8:4}00 '"
    [ ! -e "$dir/vellox20-floppy.img" ] ||
        check "$tag: $name dated $when on the floppy" \
            bash -c "mdir -i '$dir/vellox20-floppy.img' ::$(echo "$name" | upper) | grep -q '${when% *}  *${when#* } *\$'"
    check "$tag: $name dated $when on the CD" \
        [ "$(date -r "$T/read-$tag/iso/$name" '+%Y-%m-%d %H:%M')" = "$when" ]
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

# Signed with a throw-away certificate, its PFX password in a file: the
# media's setup.exe verifies; the password is in no argument of the tools
# run (stand-ins on the PATH record them) nor in the output; a wrong one is refused.
K=$T/sign
mkdir -p "$K/bin" "$K/setup"
echo 'throw-away-4711' > "$K/pass"
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$K/key.pem" -out "$K/cert.pem" -days 2 \
    -subj '/CN=Vellox Test Signer' -addext extendedKeyUsage=codeSigning 2>/dev/null
openssl pkcs12 -export -inkey "$K/key.pem" -in "$K/cert.pem" -out "$K/vendor.pfx" -passout "file:$K/pass"
for t in osslsigncode openssl; do printf '#!/bin/sh\necho "$*" >> "%s/argv"\nexec %s "$@"\n' "$K" "$(command -v $t)" > "$K/bin/$t"; chmod +x "$K/bin/$t"; done
PATH=$K/bin:$PATH bash "$R" --dist "$DIST_DIR" --out "$T/signed" --sign "$K/vendor.pfx" --pass-file "$K/pass" > "$K/log" 2>&1
unzip -q -o "$T/signed/vellox20.zip" setup.exe -d "$K/setup"
check "signed: setup.exe verifies (SHA-256) against the certificate" bash -c \
    "osslsigncode verify -CAfile '$K/cert.pem' -in '$K/setup/setup.exe' | grep -q 'Message digest algorithm  : SHA256'"
check_media signed "$T/signed" "$K/setup" "$DIST_DIR"
check "signed: the password is in no argument and no output" \
    bash -c "grep -q -- -readpass '$K/argv' && ! grep -q throw-away '$K/argv' '$K/log'"
echo wrong > "$K/wrong"
check "signed: a wrong password is refused, nothing written" \
    bash -c "! bash '$R' --dist '$DIST_DIR' --out '$T/refused' --sign '$K/vendor.pfx' --pass-file '$K/wrong' 2>/dev/null && [ ! -e '$T/refused' ]"

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

# The same files under upper-case names, as DOS and FAT copies write them.
U=$T/vendor-upper
mkdir -p "$U"
for n in $packed; do cp -p "$V/$n" "$U/$(echo "$n" | upper)"; done
check "release.sh --payload with upper-case names succeeds" \
    bash "$R" --dist "$DIST_DIR" --payload "$U" --out "$T/upper-media"
check_media upper "$T/upper-media" "$DIST_DIR" "$V"
dated upper "$T/upper-media" msvcrt20._ll '2024-05-01 12:00'

# A vendor's raw files, some names in upper case, packed on the way under
# the names of the file table (the packer is deterministic: packed here
# alike, they are what the media must hold), each with its own date.
W=$T/raw
mkdir -p "$W/NT" "$W/win32s" "$T/raw-packed"
cp "$BUILD_DIR/payload/msvcrt20.dll" "$W/NT/MSVCRT20.DLL"
cp "$BUILD_DIR/payload/msvcrt20-win32s.dll" "$W/win32s/msvcrt20.dll"
cp "$BUILD_DIR/payload/zrsupp32.dll" "$W/zrsupp32.dll"
cp "$BUILD_DIR/payload/zrfilt32.8bf" "$W/ZRFILT32.8BF"
touch -d '2024-05-01 12:00' "$W/NT/MSVCRT20.DLL"
touch -d '2023-11-20 16:30' "$W/win32s/msvcrt20.dll"
"$HOST_TOOLS_DIR/lzpack" -n msvcrt20.dll "$W/NT/MSVCRT20.DLL" "$T/raw-packed/msvcrt20._ll"
"$HOST_TOOLS_DIR/lzpack" -n msvcrt20.dll "$W/win32s/msvcrt20.dll" "$T/raw-packed/msvcrt20._2s"
"$HOST_TOOLS_DIR/lzpack" -n zrsupp32.dll "$W/zrsupp32.dll" "$T/raw-packed/zrsupp32._ll"
"$HOST_TOOLS_DIR/lzpack" -n zrfilt32.8bf "$W/ZRFILT32.8BF" "$T/raw-packed/zrfilt32._bf"
check "release.sh --raw succeeds" bash "$R" --dist "$DIST_DIR" --raw "$W" --out "$T/raw-media"
check_media raw "$T/raw-media" "$DIST_DIR" "$T/raw-packed"
dated raw "$T/raw-media" msvcrt20._ll '2024-05-01 12:00'
dated raw "$T/raw-media" msvcrt20._2s '2023-11-20 16:30'
msg=$(bash "$R" --dist "$DIST_DIR" --raw "$T/raw-packed" --out "$T/refused" 2>&1 >/dev/null)
check "--raw of packed files is refused, naming the layout" \
    bash -c "[[ \$1 == *'raw-packed/nt/msvcrt20.dll: missing; the raw files are: nt/msvcrt20.dll win32s/msvcrt20.dll'* ]]" _ "$msg"
check "--raw refused: nothing written" no_file "$T/refused"

# A 2 MB filter that does not compress: too large for a floppy, so the zip
# and the CD alone, with the packer's note; a floppy image of an earlier
# run in the same place goes.
B=$T/raw-large
mkdir -p "$B"
cp -rp "$W/." "$B/"
seeded_bytes 2024 2097152 > "$B/ZRFILT32.8BF"
mkdir -p "$T/large-packed"
cp "$T/raw-packed/"* "$T/large-packed/"
"$HOST_TOOLS_DIR/lzpack" -n zrfilt32.8bf "$B/ZRFILT32.8BF" "$T/large-packed/zrfilt32._bf" 2>/dev/null
mkdir -p "$T/large-media"
echo 'an earlier floppy' > "$T/large-media/vellox20-floppy.img"
msg=$(bash "$R" --dist "$DIST_DIR" --raw "$B" --out "$T/large-media" 2>&1 >/dev/null)
check "2 MB: refused for the floppy, naming --no-floppy" \
    bash -c "[[ \$1 == *'do not fit on a 1.44 MB floppy'*'give --no-floppy'* ]]" _ "$msg"
msg=$(bash "$R" --dist "$DIST_DIR" --raw "$B" --out "$T/large-media" --no-floppy 2>&1 >/dev/null)
check "2 MB: release.sh --no-floppy succeeds" [ -f "$T/large-media/vellox20.iso" ]
check "2 MB: the packer says the filter grew" \
    bash -c "[[ \$1 == *'lzpack: note: zrfilt32._bf is 12.'*'% larger than'* ]]" _ "$msg"
check_media large "$T/large-media" "$DIST_DIR" "$T/large-packed" no-floppy
check "2 MB: the zip holds the whole filter" \
    bash -c "'$HOST_TOOLS_DIR/lzpack' -d '$T/read-large/zip/zrfilt32._bf' '$T/large.8bf' && cmp -s '$T/large.8bf' '$B/ZRFILT32.8BF'"

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
two files for one name|cp zrsupp32._ll ZRSUPP32._LL|: two files for one name; keep one
too large for a floppy|seeded_bytes 1500 1500000 > big && "$HOST_TOOLS_DIR/lzpack" -n zrfilt32.8bf big zrfilt32._bf 2>/dev/null && rm big|1.44 MB floppy, which holds 1457664 bytes in 2847 clusters; nothing written; give --no-floppy
too large for a CD|printf 'SZDD\210\360\047\063A\146\000\000\000\000' > zrfilt32._bf && truncate -s 700M zrfilt32._bf|bytes) do not fit on a 650 MB CD, which holds 681574400 bytes
EOF

# A tree without its git history (a source archive): the release date is
# that of the tree's newest file (the vendor's files, newer still, do not
# count), and a payload file dated 2024 keeps its date, older than that or
# not.
A=$T/tree
mkdir -p "$A"
skip=./build
case "$BUILD_DIR" in "$SOURCE_DIR"/*) skip=./${BUILD_DIR#"$SOURCE_DIR"/} ;; esac
tar -C "$SOURCE_DIR" --exclude=./.git --exclude=./build --exclude="$skip" -cf - . | tar -C "$A" -xf -
find "$A" -exec touch -d '2025-03-04 05:06' {} +
touch -d '2025-06-07 18:10' "$A/README.md"
mkdir -p "$A/packed"
cp "$V/"* "$A/packed/"
touch -d '2024-02-03 14:06' "$A/packed/zrfilt32._bf"
check "no git history: release.sh --payload succeeds" \
    env -u SOURCE_DATE_EPOCH bash "$A/scripts/release.sh" --dist "$DIST_DIR" --payload "$A/packed" --out "$T/tree-media"
check_media tree "$T/tree-media" "$DIST_DIR" "$A/packed"
dated tree "$T/tree-media" zrfilt32._bf '2024-02-03 14:06'
dated tree "$T/tree-media" setup.exe '2025-06-07 18:10'

# A vendor's setup.exe alone in a directory of its own, with their packed
# files: no packer lies beside it, so the tree's own (not built yet in the
# source archive) is built to check the files and write their list.
S=$T/setup-only
mkdir -p "$S"
cp "$DIST_DIR/setup.exe" "$S/"
check "setup.exe alone: release.sh --dist --payload succeeds" \
    bash "$A/scripts/release.sh" --dist "$S" --payload "$V" --out "$T/setup-only-media"
check_media setup-only "$T/setup-only-media" "$S" "$V"

# One whole install, as from drive A: on Windows 95, of the files copied
# out of the floppy image of the vendor's raw files into a read-only
# directory.
e2e_begin release-floppy
e2e_version win95
echo "Install under Wine: A:\\SETUP.EXE copied out of $T/raw-media/vellox20-floppy.img (raw files packed by release.sh)"
check "floppy: files copied out of the image into drive A:" e2e_floppy "$T/raw-media/vellox20-floppy.img"
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
check "floppy: the installed runtime has the raw file's date" \
    [ "$(date -r "$E2E_SYS/msvcrt20.dll" '+%Y-%m-%d %H:%M')" = '2024-05-01 12:00' ]
check "floppy: no temporary files left" no_temp_files "$E2E_C/ps/plugins"
check "floppy: nothing written to A:" same_list "$(ls "$E2E_DIST" | tr '\n' ' ')" "$(echo "$names" | upper)"
e2e_end

e2e_finish
