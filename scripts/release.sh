#!/usr/bin/env bash
# Makes the release media in build/release/:
#   vellox20.zip          setup.exe, the four packed files and their checksum
#                         list vellox20.crc at the top level
#   vellox20-floppy.img   a 1.44 MB FAT12 floppy image, the same files, 8.3 names
#   vellox20.iso          an ISO 9660 level 1 CD image with Joliet names
#   SHA256SUMS            the checksums of the three
#
#   bash scripts/release.sh [--raw DIR | --payload DIR] [--dist DIR] [--out DIR] [--no-floppy]
#                           [--sign PFX [--pass-file FILE] [--timestamp URL]]
#
#   --raw DIR      pack a vendor's own files in DIR and ship them: nt/msvcrt20.dll,
#                  win32s/msvcrt20.dll, zrsupp32.dll, zrfilt32.8bf (docs/packing.md)
#   --payload DIR  ship the packed files in DIR (a vendor's real plug-ins,
#                  packed as docs/packing.md explains) instead of the samples
#   --dist DIR     take setup.exe, and the packed files unless --raw or
#                  --payload is given, from DIR instead of building the product;
#                  outside a build tree this tree's packer is used (built if missing)
#   --out DIR      write the media to DIR instead of build/release/
#   --no-floppy    make the zip and the CD image only (files too large for a floppy)
#   --sign PFX     sign setup.exe (Authenticode, SHA-256, with osslsigncode) with
#                  the key and certificates in the PKCS#12 file PFX before the
#                  media are made, and verify the signature (docs/packing.md)
#   --pass-file FILE   the PFX's password: the first line of FILE
#   --timestamp URL    have the signature timestamped by this RFC 3161 server
#
# The media carry the 32-bit product, built in build/win32/ (tests off) on
# every kind of machine. Names in DIR are matched without regard to case.
# Built twice from the same tree and payload, the images are byte-identical:
# a vendor's files keep their own dates (the installer compares the C
# runtime's date with the installed copy's); setup.exe, the sample files,
# the CD's directory and the images' own dates are SOURCE_DATE_EPOCH (unless
# set, the time of the last commit, or in a tree without git history the
# time of its newest file), or the file's own older date; the floppy's
# serial number is fixed. Everything is checked before anything is written.
# A signature carries the time of signing, so signed media differ from run
# to run in setup.exe's signature alone.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
me=release.sh
# The names the installer's file table looks up beside setup.exe.
packed_names="msvcrt20._ll msvcrt20._2s zrsupp32._ll zrfilt32._bf"
# For --raw: each packed name's raw file and the name it is installed as.
raw_names="nt/msvcrt20.dll win32s/msvcrt20.dll zrsupp32.dll zrfilt32.8bf"
installed_names="msvcrt20.dll msvcrt20.dll zrsupp32.dll zrfilt32.8bf"
label=VELLOX20
# The checksum list setup.exe checks the expanded files against.
checksum_list=vellox20.crc
serial=0B0E1995
# A 1.44 MB floppy: 2880 sectors; less the boot sector, two FATs of nine
# sectors and a root directory of 14, 2847 clusters of one sector are left.
floppy_bytes=1474560
floppy_clusters=2847
# A 650 MB CD: 332,800 sectors of 2048 bytes, of which the image's own
# descriptors, path tables, directories and closing padding take under 256.
cd_bytes=681574400
cd_sectors=332800
cd_own_sectors=256

die() { echo "$me: $*" >&2; exit 1; }

payload= raw= dist= out=$root/build/release floppy=1 sign= pass_file= timestamp= signdir=
while [ $# -gt 0 ]; do
    case "$1" in
        --payload|--raw|--dist|--out)
            [ $# -ge 2 ] || die "$1 needs a directory"
            case "$1" in
                --payload) payload=$2 ;;
                --raw)     raw=$2 ;;
                --dist)    dist=$2 ;;
                --out)     out=$2 ;;
            esac
            shift 2 ;;
        --no-floppy) floppy=0; shift ;;
        --sign|--pass-file|--timestamp)
            [ $# -ge 2 ] || die "$1 needs a value"
            case "$1" in
                --sign)      sign=$2 ;;
                --pass-file) pass_file=$2 ;;
                --timestamp) timestamp=$2 ;;
            esac
            shift 2 ;;
        -h|--help) sed -n '2,25s/^# \{0,1\}//p' "$0"; exit 0 ;;
        *) die "unknown argument '$1' (see --help)" ;;
    esac
done
[ -z "$raw" ] || [ -z "$payload" ] || die "give --raw or --payload, not both"
if [ -z "$sign" ]; then
    [ -z "$pass_file$timestamp" ] || die "--pass-file and --timestamp go with --sign PFX"
else
    [ -f "$sign" ] && [ -r "$sign" ] || die "$sign: no such file (--sign needs a PKCS#12 file, .pfx or .p12)"
    sign=$(cd "$(dirname "$sign")" && pwd)/${sign##*/}
    if [ -n "$pass_file" ]; then
        [ -f "$pass_file" ] && [ -r "$pass_file" ] || die "$pass_file: no such file"
        pass_file=$(cd "$(dirname "$pass_file")" && pwd)/${pass_file##*/}
    fi
fi
vendor=0
[ -z "$raw$payload" ] || vendor=1

# is_szdd FILE: the file starts with the SZDD signature and holds a header.
is_szdd() {
    [ "$(head -c 8 "$1" | od -An -tx1 | tr -d ' \n')" = 535a444488f02733 ] &&
        [ "$(stat -c %s "$1")" -ge 14 ]
}

# find_name DIR NAME: sets found to the entry of DIR called NAME in any
# case (ZRFILT32._BF as DOS and FAT write it), or to nothing.
find_name() {
    local f
    found=
    for f in "$1"/* "$1"/.[!.]*; do
        [ -e "$f" ] || continue
        [ "$(echo "${f##*/}" | tr A-Z a-z)" = "$2" ] || continue
        [ -z "$found" ] || die "$found and $f: two files for one name; keep one"
        found=$f
    done
}

# The file of each packed name: in a payload directory, or packed from a
# raw file (raw_of).
declare -A source_of raw_of

# check_payload DIR: the four packed files are there, each SZDD, and
# nothing else is.
check_payload() {
    local dir=$1 name f
    [ -d "$dir" ] || die "$dir: no such directory"
    for name in $packed_names; do
        find_name "$dir" "$name"
        [ -f "$found" ] || die "$dir/$name: missing; the installer needs all of: $packed_names"
        is_szdd "$found" || die "$found: not a packed (SZDD) file; pack it with lzpack (docs/packing.md)"
        source_of[$name]=$found
    done
    for f in "$dir"/* "$dir"/.[!.]*; do
        [ -e "$f" ] || continue
        name=$(echo "${f##*/}" | tr A-Z a-z)
        case " $packed_names " in *" $name "*) continue ;; esac
        die "$f: not one of the files setup.exe installs ($packed_names); remove it or pack the media from a directory of those four only"
    done
}

# check_raw DIR: the four raw files are there and none is packed already.
check_raw() {
    local dir=$1 rel name sub at
    [ -d "$dir" ] || die "$dir: no such directory"
    set -- $packed_names
    for rel in $raw_names; do
        name=$1; shift
        at=$dir found=
        case "$rel" in */*)
            sub=${rel%%/*}
            find_name "$dir" "$sub"
            at=$found ;;
        esac
        found=
        [ -z "$at" ] || find_name "$at" "${rel##*/}"
        [ -f "$found" ] || die "$dir/$rel: missing; the raw files are: $raw_names"
        ! is_szdd "$found" || die "$found: packed already; give the packed files with --payload"
        raw_of[$name]=$found
    done
}

[ -z "$payload" ] || { check_payload "$payload"; payload=$(cd "$payload" && pwd); }
[ -z "$raw" ] || { raw=$(cd "$raw" 2>/dev/null && pwd) || die "$raw: no such directory"; check_raw "$raw"; }

"$root/scripts/install-deps.sh"
if [ -z "$dist" ]; then
    # The 32-bit product alone, whatever this machine can run.
    product=$root/build/win32
    toolchain=$root/cmake/mingw-i686.cmake
    if [ ! -f "$product/build.ninja" ]; then
        cmake -S "$root" -B "$product" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
            -DSETUP_TESTS=OFF -DSETUP_WIN32_PRODUCT=OFF >/dev/null
    fi
    cmake --build "$product" >&2
    dist=$product/dist
fi
[ -d "$dist" ] || die "$dist: no such directory"
dist=$(cd "$dist" && pwd)
[ -f "$dist/setup.exe" ] || die "$dist/setup.exe: missing"
if [ "$vendor" = 0 ]; then
    for name in $packed_names; do
        [ -f "$dist/$name" ] || die "$dist/$name: missing"
        is_szdd "$dist/$name" || die "$dist/$name: not a packed (SZDD) file"
        source_of[$name]=$dist/$name
    done
    payload=$dist
fi
source_of[setup.exe]=$dist/setup.exe

# The packer: that of the build tree that made dist; for a dist that lies in
# no build tree (a vendor's own setup.exe), this tree's own, built first
# when it is missing. Without one nothing can be checked or listed.
lzpack=$(dirname "$dist")/host-tools/lzpack
if [ ! -x "$lzpack" ]; then
    tools=$root/build/host-tools
    lzpack=$tools/lzpack
    if [ ! -x "$lzpack" ]; then
        echo "$me: no packer beside $dist: building this tree's in $tools" >&2
        { cmake -S "$root/tools" -B "$tools" -G Ninja -DCMAKE_BUILD_TYPE=Release \
              -DCMAKE_C_COMPILER=gcc -DCMAKE_CXX_COMPILER=g++ >/dev/null &&
              cmake --build "$tools" --target lzpack >&2; } ||
            die "could not build the packer in $tools; the packed files cannot be checked without it"
    fi
fi

# Raw files packed under the names the file table looks up, each dated as
# its raw file.
if [ -n "$raw" ]; then
    packdir=$(mktemp -d)
    trap 'rm -rf "$packdir"' EXIT
    set -- $installed_names
    for name in $packed_names; do
        (cd "$packdir" && "$lzpack" -n "$1" "${raw_of[$name]}" "$name") ||
            die "${raw_of[$name]}: could not be packed"
        touch -r "${raw_of[$name]}" "$packdir/$name"
        source_of[$name]=$packdir/$name
        shift
    done
fi

# sign_setup IN OUT DIR: IN signed into OUT with the key of the PFX, then
# verified: the signature must match the file and lead to a root that this
# machine trusts or that the signature carries itself (a vendor's own or a
# test certificate); the second only earns a note. The password goes to
# osslsigncode as the name of its file, never as an argument, and nothing
# that could hold it is printed.
sign_setup() {
    local in=$1 signed=$2 dir=$3 log=$3/sign.log
    local args=(sign -pkcs12 "$sign" -h sha256 -n "Vellox 2.0 Setup")
    [ -z "$pass_file" ] || args+=(-readpass "$pass_file")
    [ -z "$timestamp" ] || args+=(-ts "$timestamp")
    osslsigncode "${args[@]}" -in "$in" -out "$signed" </dev/null >"$log" 2>&1 || {
        sed 's/^/  /' "$log" >&2
        die "$sign: could not sign setup.exe (a wrong password, or no key in the file?)"; }
    osslsigncode extract-signature -pem -in "$signed" -out "$dir/sig.pem" >/dev/null 2>&1 &&
        openssl pkcs7 -in "$dir/sig.pem" -print_certs -out "$dir/own.pem" 2>/dev/null ||
        die "$signed: the signature just made cannot be read back"
    cat "$dir/own.pem" > "$dir/roots.pem"
    [ ! -f /etc/ssl/certs/ca-certificates.crt ] || cat /etc/ssl/certs/ca-certificates.crt >> "$dir/roots.pem"
    osslsigncode verify -CAfile "$dir/roots.pem" -in "$signed" >"$log" 2>&1 || {
        grep -E -i 'error|failed|digest' "$log" | sed 's/^/  /' >&2
        die "$sign: the signed setup.exe does not verify; nothing written"; }
    osslsigncode verify -in "$signed" >/dev/null 2>&1 ||
        echo "$me: note: the certificate in $sign does not lead to a root this machine trusts; Windows will show setup.exe as from an unknown publisher" >&2
}
if [ -n "$sign" ]; then
    signdir=$(mktemp -d)
    trap 'rm -rf "$signdir" ${packdir:+"$packdir"}' EXIT
    sign_setup "$dist/setup.exe" "$signdir/setup.exe" "$signdir"
    touch -r "$dist/setup.exe" "$signdir/setup.exe"
    source_of[setup.exe]=$signdir/setup.exe
    echo "$me: setup.exe signed (SHA-256) and verified" >&2
fi

# The files fit the media or the release stops here: a 650 MB CD always,
# a 1.44 MB floppy unless --no-floppy. The checksum list, written later, is
# counted at its largest: 2048 bytes.
clusters=4 bytes=2048 sectors=$((cd_own_sectors + 1))
for name in setup.exe $packed_names; do
    size=$(stat -c %s "${source_of[$name]}")
    bytes=$((bytes + size))
    clusters=$((clusters + (size + 511) / 512))
    sectors=$((sectors + (size + 2047) / 2048))
done
if [ "$sectors" -gt "$cd_sectors" ]; then
    die "the files ($bytes bytes) do not fit on a 650 MB CD, which holds $cd_bytes bytes; nothing written"
fi
if [ "$floppy" = 1 ] && [ "$clusters" -gt "$floppy_clusters" ]; then
    die "the files ($bytes bytes, $clusters clusters of 512 bytes) do not fit on a 1.44 MB floppy, which holds $((floppy_clusters * 512)) bytes in $floppy_clusters clusters; nothing written; give --no-floppy to make the zip and the CD image alone"
fi

# Each packed file unpacks whole (a cut-off copy would install short without
# a word from the LZ library).
unpacked=$(mktemp -d)
for name in $packed_names; do
    "$lzpack" -d "${source_of[$name]}" "$unpacked/$name" 2>"$unpacked/err" || {
        sed 's/^/  /' "$unpacked/err" >&2; rm -rf "$unpacked"
        die "${source_of[$name]}: does not unpack; pack it again with lzpack"; }
    rm -f "$unpacked/$name"
done
rm -rf "$unpacked"

# write_checksum_list LZPACK OUT: the list of the packed files (name, size
# after expansion, CRC-32 of the expanded bytes, and a last line that checks
# the list), as "lzpack -l" writes it; setup.exe checks every file against
# it before it replaces anything.
write_checksum_list() {
    local lz=$1 list=$2 paths= name
    for name in $packed_names; do paths="$paths ${source_of[$name]}"; done
    "$lz" -l $paths > "$list" || die "could not write the checksum list"
}
listed=$(mktemp -d)
trap 'rm -rf "$listed" ${packdir:+"$packdir"} ${signdir:+"$signdir"}' EXIT
write_checksum_list "$lzpack" "$listed/$checksum_list"
source_of[$checksum_list]=$listed/$checksum_list

# The PE machine field: the media are meant to carry the 32-bit program.
machine=
if [ "$(head -c 2 "$dist/setup.exe")" = MZ ]; then
    pe=$(od -An -tu4 -j 60 -N 4 "$dist/setup.exe" | tr -d ' ')
    [ "$((pe + 6))" -gt "$(stat -c %s "$dist/setup.exe")" ] ||
        machine=$(od -An -tx2 -j $((pe + 4)) -N 2 "$dist/setup.exe" | tr -d ' ')
fi
[ "$machine" = 014c ] ||
    echo "$me: note: $dist/setup.exe is not a 32-bit x86 program (machine ${machine:-unknown}); these media will not run on the period systems" >&2

# Dates: SOURCE_DATE_EPOCH, by default the last commit's time, or in a tree
# without its git history (a source archive) the time of its newest file
# outside the build and output directories and the vendor's files; made even (FAT and zip keep
# times in two-second steps), read as UTC everywhere.
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    [ ! -e "$root/.git" ] || SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct 2>/dev/null || true)
    [ -n "${SOURCE_DATE_EPOCH:-}" ] ||
        SOURCE_DATE_EPOCH=$(find "$root" \( -path "$root/build" -o -path "$root/build-*" -o -path "$root/.git" \
                                   -o -path "$(realpath -m "$out")" -o -path "$payload" -o -path "$raw" \) -prune \
                                -o -type f -printf '%T@\n' | sort -n | tail -n 1 | cut -d. -f1)
    [ -n "$SOURCE_DATE_EPOCH" ] || SOURCE_DATE_EPOCH=820454400
fi
SOURCE_DATE_EPOCH=$((SOURCE_DATE_EPOCH / 2 * 2))
export SOURCE_DATE_EPOCH TZ=UTC LC_ALL=C
umask 022

mkdir -p "$out"
out=$(cd "$out" && pwd)
work=$(mktemp -d "$out/.release.XXXXXX")
trap 'rm -rf "$work" "$listed" ${packdir:+"$packdir"} ${signdir:+"$signdir"}' EXIT
stage=$work/files
mkdir "$stage"

# Staged copies under the file table's names: mode 644; a vendor's files
# keep their own dates, whatever they are (the installer compares the C
# runtime's date with the installed copy's); setup.exe and the samples are
# dated SOURCE_DATE_EPOCH unless the file is older.
names="setup.exe $packed_names $checksum_list"
for name in $names; do
    f=${source_of[$name]}
    cp "$f" "$stage/$name"
    chmod 644 "$stage/$name"
    if { [ "$vendor" = 1 ] && [ "$name" != setup.exe ] && [ "$name" != "$checksum_list" ]; } || [ "$(stat -c %Y "$f")" -lt "$SOURCE_DATE_EPOCH" ]; then
        touch -r "$f" "$stage/$name"
    else
        touch -d "@$SOURCE_DATE_EPOCH" "$stage/$name"
    fi
done
# The directory's date is the CD's root directory date.
touch -d "@$SOURCE_DATE_EPOCH" "$stage"

# The zip: the names as they are, no extra fields (-X), no directories (-D).
(cd "$stage" && zip -q -X -D "$work/vellox20.zip" $names)
media=vellox20.zip

# The floppy: FAT12, a fixed serial number, upper-case 8.3 names and no long
# names, each file's date kept (-m).
if [ "$floppy" = 1 ]; then
    img=$work/vellox20-floppy.img
    mformat -C -i "$img" -f 1440 -v "$label" -N "$serial" ::
    for name in $names; do
        MTOOLS_NO_VFAT=1 mcopy -m -i "$img" "$stage/$name" "::$(echo "$name" | tr a-z A-Z)" ||
            die "could not copy $name onto the floppy image"
    done
    [ "$(stat -c %s "$img")" = "$floppy_bytes" ] || die "the floppy image is not $floppy_bytes bytes"
    media="$media vellox20-floppy.img"
fi
media="$media vellox20.iso"

# The CD: ISO 9660 level 1 names for the old CD-ROM drivers, Joliet names
# beside them, no Rock Ridge; xorriso takes its dates from SOURCE_DATE_EPOCH.
xorriso -as mkisofs -quiet --norock -iso-level 1 -J -V "$label" -A "VELLOX 2.0 SETUP" \
    -o "$work/vellox20.iso" "$stage" 2>"$work/xorriso.log" ||
    { cat "$work/xorriso.log" >&2; die "could not write the CD image"; }

(cd "$work" && sha256sum $media > SHA256SUMS)
for f in $media SHA256SUMS; do
    mv -f "$work/$f" "$out/$f"
done
# A floppy image of an earlier run is not one of these media.
[ "$floppy" = 1 ] || rm -f "$out/vellox20-floppy.img"

echo "Release media in $out (setup.exe from $dist${sign:+, signed with $sign}, ${raw:+files packed from $raw}${payload:+packed files from $payload}):"
for f in $media; do
    printf '  %-20s %9s bytes\n' "$f" "$(stat -c %s "$out/$f")"
done
