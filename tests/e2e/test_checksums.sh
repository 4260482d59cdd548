#!/usr/bin/env bash
# The checksum list beside setup.exe, one row per outcome: a packed file
# with one changed byte (its length the same) from the release floppy on NT
# and on Windows 95 ends on ALERT and FAILURE with every previous file
# byte-identical; a damaged list stops the install before anything is
# copied; media without a list install as they always have.
. "$(dirname "$0")/e2e-lib.sh"
. "$(dirname "$0")/faults-lib.sh"
T=$BUILD_DIR/test-output/checksums
LIST=vellox20.crc
rm -rf "$T"; mkdir -p "$T"

# --- helpers -------------------------------------------------------------
plugins() { plugins_at 'C:\PS\Plugins' "$E2E_C/ps/plugins"; }
byte_at() { od -An -tx1 -j "$2" -N 1 "$1" | tr -d ' '; }
# flip_literal FILE: changes a literal byte of the packed stream (the second
# of the first group, whose control byte says eight literals), so the file
# still expands to the same length, to other bytes.
flip_literal() {
    [ "$(byte_at "$1" 14)" = ff ] || return 1
    local b; b=$(byte_at "$1" 16)
    printf "\\x$(printf '%02x' $((0x$b ^ 0x5a)))" | dd of="$1" bs=1 seek=16 conv=notrunc 2>/dev/null
}
# expands_other_same_length PACKED ORIGINAL
expands_other_same_length() {
    "$HOST_TOOLS_DIR/lzpack" -d "$1" "$T/expanded" &&
        [ "$(stat -c %s "$T/expanded")" = "$(stat -c %s "$2")" ] && ! cmp -s "$T/expanded" "$2"
}

# The release media, list included, made from this build.
check "release media made" bash "$SOURCE_DIR/scripts/release.sh" --dist "$DIST_DIR" --out "$T/media"
img=$T/media/vellox20-floppy.img

# --- rows ----------------------------------------------------------------

# One changed byte in the filter, the last file, on the floppy: nothing is
# installed, and the previous plug-in and the older runtime stay as they
# were, although both come before it.
for ver in nt win95; do
    e2e_begin "flipped-$ver"
    [ "$ver" = nt ] || e2e_version "$ver"
    e2e_floppy "$img"
    plugins
    previous_set
    f=$E2E_DIST/ZRFILT32._BF
    chmod u+w "$f"
    check "flipped-$ver: a literal byte changed" flip_literal "$f"
    chmod 444 "$f"
    check "flipped-$ver: the file still expands, to the same length" \
        expands_other_same_length "$f" "$P/zrfilt32.8bf"
    check "flipped-$ver: the floppy carries the list" [ -f "$E2E_DIST/VELLOX20.CRC" ]
    through
    ends_on 'Alert!'
    check "flipped-$ver: previous plug-in and runtime byte-identical" set_unchanged
    check "flipped-$ver: nothing else in the plug-in directory" \
        [ "$(ls "$PS" | tr '\n' ' ')" = 'zrfilt32.8bf zrsupp32.dll ' ]
    e2e_end
done

# A list with one changed byte: refused before the first file is copied.
e2e_begin damaged-list
plugins
"$HOST_TOOLS_DIR/lzpack" -l "$E2E_DIST"/msvcrt20._ll "$E2E_DIST"/msvcrt20._2s \
    "$E2E_DIST"/zrsupp32._ll "$E2E_DIST"/zrfilt32._bf > "$E2E_DIST/$LIST"
b=$(byte_at "$E2E_DIST/$LIST" 20)   # a digit or blank of the first entry's size
printf "\\x$(printf '%02x' $((0x$b == 0x31 ? 0x32 : 0x31)))" | dd of="$E2E_DIST/$LIST" bs=1 seek=20 conv=notrunc 2>/dev/null
runtime=$E2E_SYS/msvcrt20.dll
[ -f "$runtime" ] && cp -p "$runtime" "$T/runtime.before"
through
ends_on 'Alert!'
check "damaged-list: no plug-in file copied" [ -z "$(ls "$PS")" ]
if [ -f "$T/runtime.before" ]; then
    check "damaged-list: system runtime byte-identical" same_file "$T/runtime.before" "$runtime"
else
    check "damaged-list: no system runtime copied" no_file "$runtime"
fi
e2e_end

# The list names the runtime, but its packed file cannot be opened: damaged,
# not older than the installed one.
e2e_begin runtime-unreadable
plugins
(cd "$E2E_DIST" && "$HOST_TOOLS_DIR/lzpack" -l msvcrt20._ll msvcrt20._2s zrsupp32._ll zrfilt32._bf > $LIST && rm msvcrt20._ll)
through
ends_on 'Alert!'
check "runtime-unreadable: nothing installed" [ -z "$(ls "$PS")" ]
e2e_end

# No list beside setup.exe: installed as always.
e2e_begin no-list
plugins
check "no-list: no list in the distribution" no_file "$E2E_DIST/$LIST"
through
ends_on 'Congratulations...'
check "no-list: support library installed byte-exact" same_file "$P/zrsupp32.dll" "$PS/zrsupp32.dll"
check "no-list: filter installed byte-exact" same_file "$P/zrfilt32.8bf" "$PS/zrfilt32.8bf"
check "no-list: runtime installed byte-exact" same_file "$P/msvcrt20.dll" "$E2E_SYS/msvcrt20.dll"
e2e_end

e2e_finish
