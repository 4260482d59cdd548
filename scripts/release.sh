#!/usr/bin/env bash
# Makes the release media in build/release/:
#   vellox20.zip          setup.exe, the four packed files and their checksum
#                         list vellox20.crc at the top level
#   vellox20-floppy.img   a 1.44 MB FAT12 floppy image, the same files, 8.3 names
#   vellox20.iso          an ISO 9660 level 1 CD image with Joliet names
#   SHA256SUMS            the checksums of the three
#
#   bash scripts/release.sh [--payload DIR] [--dist DIR] [--out DIR]
#
#   --payload DIR  ship the packed files in DIR (a vendor's real plug-ins,
#                  packed as docs/packing.md explains) instead of the samples
#   --dist DIR     take setup.exe, and the packed files unless --payload is
#                  given, from DIR instead of building the 32-bit product
#   --out DIR      write the media to DIR instead of build/release/
#
# The media carry the 32-bit product, built in build/win32/ (tests off) on
# every kind of machine. Built twice from the same tree, the images are
# byte-identical: every date in them is SOURCE_DATE_EPOCH (the time of the
# last commit unless set), or a file's own older date, and the floppy's
# serial number is fixed. Everything is checked before anything is written.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
me=release.sh
# The names the installer's file table looks up beside setup.exe.
packed_names="msvcrt20._ll msvcrt20._2s zrsupp32._ll zrfilt32._bf"
label=VELLOX20
# The checksum list setup.exe checks the expanded files against.
checksum_list=vellox20.crc
serial=0B0E1995
# A 1.44 MB floppy: 2880 sectors; less the boot sector, two FATs of nine
# sectors and a root directory of 14, 2847 clusters of one sector are left.
floppy_bytes=1474560
floppy_clusters=2847

die() { echo "$me: $*" >&2; exit 1; }

payload= dist= out=$root/build/release
while [ $# -gt 0 ]; do
    case "$1" in
        --payload|--dist|--out)
            [ $# -ge 2 ] || die "$1 needs a directory"
            case "$1" in
                --payload) payload=$2 ;;
                --dist)    dist=$2 ;;
                --out)     out=$2 ;;
            esac
            shift 2 ;;
        -h|--help) sed -n '2,15s/^# \{0,1\}//p' "$0"; exit 0 ;;
        *) die "unknown argument '$1' (see --help)" ;;
    esac
done

# is_szdd FILE: the file starts with the SZDD signature and holds a header.
is_szdd() {
    [ "$(head -c 8 "$1" | od -An -tx1 | tr -d ' \n')" = 535a444488f02733 ] &&
        [ "$(stat -c %s "$1")" -ge 14 ]
}

# check_payload DIR: the four packed files are there, each SZDD, and
# nothing else is.
check_payload() {
    local dir=$1 name f
    [ -d "$dir" ] || die "$dir: no such directory"
    for name in $packed_names; do
        [ -f "$dir/$name" ] || die "$dir/$name: missing; the installer needs all of: $packed_names"
        is_szdd "$dir/$name" || die "$dir/$name: not a packed (SZDD) file; pack it with lzpack (docs/packing.md)"
    done
    for f in "$dir"/* "$dir"/.[!.]*; do
        [ -e "$f" ] || continue
        name=${f##*/}
        case " $packed_names " in *" $name "*) continue ;; esac
        die "$f: not one of the files setup.exe installs ($packed_names); remove it or pack the media from a directory of those four only"
    done
}

[ -z "$payload" ] || { check_payload "$payload"; payload=$(cd "$payload" && pwd); }

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
if [ -z "$payload" ]; then
    for name in $packed_names; do
        [ -f "$dist/$name" ] || die "$dist/$name: missing"
        is_szdd "$dist/$name" || die "$dist/$name: not a packed (SZDD) file"
    done
    payload=$dist
fi

files="$dist/setup.exe"
for name in $packed_names; do files="$files $payload/$name"; done

# Each packed file unpacks whole (a cut-off copy would install short without
# a word from the LZ library), with the packer of the build that made dist.
lzpack=$(dirname "$dist")/host-tools/lzpack
if [ -x "$lzpack" ]; then
    unpacked=$(mktemp -d)
    for name in $packed_names; do
        "$lzpack" -d "$payload/$name" "$unpacked/$name" 2>"$unpacked/err" || {
            sed 's/^/  /' "$unpacked/err" >&2; rm -rf "$unpacked"
            die "$payload/$name: does not unpack; pack it again with lzpack"; }
        rm -f "$unpacked/$name"
    done
    rm -rf "$unpacked"
else
    echo "$me: note: no $lzpack: the packed files were checked by their signature only" >&2
fi

# write_checksum_list LZPACK OUT: the list of the packed files (name, size
# after expansion, CRC-32 of the expanded bytes, and a last line that checks
# the list), as "lzpack -l" writes it; setup.exe checks every file against
# it before it replaces anything.
write_checksum_list() {
    local lz=$1 list=$2 paths= name
    [ -x "$lz" ] || die "no $lz: the checksum list needs the packer of the build that made $dist"
    for name in $packed_names; do paths="$paths $payload/$name"; done
    "$lz" -l $paths > "$list" || die "could not write the checksum list"
}
listed=$(mktemp -d)
trap 'rm -rf "$listed"' EXIT
write_checksum_list "$lzpack" "$listed/$checksum_list"
files="$files $listed/$checksum_list"

# The floppy holds every file whole or the release stops here.
clusters=0 bytes=0
for f in $files; do
    size=$(stat -c %s "$f")
    bytes=$((bytes + size))
    clusters=$((clusters + (size + 511) / 512))
done
if [ "$clusters" -gt "$floppy_clusters" ]; then
    die "the files ($bytes bytes, $clusters clusters of 512 bytes) do not fit on a 1.44 MB floppy, which holds $((floppy_clusters * 512)) bytes in $floppy_clusters clusters; nothing written"
fi

# The PE machine field: the media are meant to carry the 32-bit program.
machine=
if [ "$(head -c 2 "$dist/setup.exe")" = MZ ]; then
    pe=$(od -An -tu4 -j 60 -N 4 "$dist/setup.exe" | tr -d ' ')
    [ "$((pe + 6))" -gt "$(stat -c %s "$dist/setup.exe")" ] ||
        machine=$(od -An -tx2 -j $((pe + 4)) -N 2 "$dist/setup.exe" | tr -d ' ')
fi
[ "$machine" = 014c ] ||
    echo "$me: note: $dist/setup.exe is not a 32-bit x86 program (machine ${machine:-unknown}); these media will not run on the period systems" >&2

# Dates: SOURCE_DATE_EPOCH, by default the last commit's time, made even
# (FAT and zip keep times in two-second steps), read as UTC everywhere.
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct 2>/dev/null || echo 820454400)
fi
SOURCE_DATE_EPOCH=$((SOURCE_DATE_EPOCH / 2 * 2))
export SOURCE_DATE_EPOCH TZ=UTC LC_ALL=C
umask 022

mkdir -p "$out"
out=$(cd "$out" && pwd)
work=$(mktemp -d "$out/.release.XXXXXX")
trap 'rm -rf "$work" "$listed"' EXIT
stage=$work/files
mkdir "$stage"

# Staged copies: mode 644, dated SOURCE_DATE_EPOCH unless the file is older
# (a vendor dates the packed C runtime on purpose: the installer compares it).
names=
for f in $files; do
    name=${f##*/}
    names="$names $name"
    cp "$f" "$stage/$name"
    chmod 644 "$stage/$name"
    if [ "$(stat -c %Y "$f")" -lt "$SOURCE_DATE_EPOCH" ]; then
        touch -r "$f" "$stage/$name"
    else
        touch -d "@$SOURCE_DATE_EPOCH" "$stage/$name"
    fi
done
# The directory's date is the CD's root directory date.
touch -d "@$SOURCE_DATE_EPOCH" "$stage"

# The zip: the names as they are, no extra fields (-X), no directories (-D).
(cd "$stage" && zip -q -X -D "$work/vellox20.zip" $names)

# The floppy: FAT12, a fixed serial number, upper-case 8.3 names and no long
# names, each file's date kept (-m).
img=$work/vellox20-floppy.img
mformat -C -i "$img" -f 1440 -v "$label" -N "$serial" ::
for name in $names; do
    MTOOLS_NO_VFAT=1 mcopy -m -i "$img" "$stage/$name" "::$(echo "$name" | tr a-z A-Z)" ||
        die "could not copy $name onto the floppy image"
done
[ "$(stat -c %s "$img")" = "$floppy_bytes" ] || die "the floppy image is not $floppy_bytes bytes"

# The CD: ISO 9660 level 1 names for the old CD-ROM drivers, Joliet names
# beside them, no Rock Ridge; xorriso takes its dates from SOURCE_DATE_EPOCH.
xorriso -as mkisofs -quiet --norock -iso-level 1 -J -V "$label" -A "VELLOX 2.0 SETUP" \
    -o "$work/vellox20.iso" "$stage" 2>"$work/xorriso.log" ||
    { cat "$work/xorriso.log" >&2; die "could not write the CD image"; }

(cd "$work" && sha256sum vellox20.zip vellox20-floppy.img vellox20.iso > SHA256SUMS)
for f in vellox20.zip vellox20-floppy.img vellox20.iso SHA256SUMS; do
    mv -f "$work/$f" "$out/$f"
done

echo "Release media in $out (setup.exe from $dist, packed files from $payload):"
for f in vellox20.zip vellox20-floppy.img vellox20.iso; do
    printf '  %-20s %9s bytes\n' "$f" "$(stat -c %s "$out/$f")"
done
