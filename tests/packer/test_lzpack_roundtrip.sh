#!/usr/bin/env bash
# Packs a set of inputs with lzpack and expands them again with Debian's
# independent SZDD decoder (msexpand) and with lzpack -d; checks the header,
# the compression and the refusals.
set -u
. "$(dirname "$0")/../support/seeded.sh"
LZPACK=${HOST_TOOLS_DIR:?HOST_TOOLS_DIR not set}/lzpack
[ -x "$LZPACK" ] || { echo "no packer at $LZPACK"; exit 1; }
command -v msexpand >/dev/null || { echo "msexpand (package mscompress) is missing"; exit 1; }

tmp=$(mktemp -d /tmp/lzpack-test.XXXXXX)
trap 'rm -rf "$tmp"' EXIT
cd "$tmp" || exit 1

failures=0
checks=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
check() { checks=$((checks + 1)); }

# Header bytes of a packed file as hex, space separated.
header() { od -An -tx1 -N14 -v "$1" | tr -s ' \n' ' ' | sed 's/^ //; s/ $//'; }
le32() { printf '%02x %02x %02x %02x' $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)) $(($1 >> 24 & 255)); }
hexchar() { [ -z "$1" ] && echo 00 || printf '%02x' "'$1"; }
size() { stat -c %s "$1"; }

# --- inputs --------------------------------------------------------------
: > empty.dat
printf 'Q' > one.dat
yes 'The sample filter inverts the image, row by row.' | head -c 300000 > repeat.txt
echo "random inputs: seeds 262 and 1048 (tests/support/seeded.sh)"
seeded_bytes 262 262144 > random.bin
head -c 4000 /dev/zero | tr '\0' ' ' > blanks.txt
# Blanks after 100 letters: their only source is the ring's unwritten part.
{ head -c 100 /dev/zero | tr '\0' 'x'; head -c 40 /dev/zero | tr '\0' ' '; echo end; } > late.txt
for i in $(seq 0 255); do printf "\\$(printf '%03o' "$i")"; done > values.bin
{
    seq 1 250000
    seeded_bytes 1048 1048576
    for f in /bin/bash /bin/ls /bin/cp; do cat "$f"; done
    seq 250000 700000
} | head -c 5242880 > big.bin
[ "$(size big.bin)" -eq 5242880 ] || fail "could not make the 5 MB input"

# --- round trips -----------------------------------------------------------
for f in empty.dat one.dat repeat.txt random.bin blanks.txt late.txt values.bin big.bin; do
    packed=${f%?}_
    check
    if ! "$LZPACK" "$f" "$packed" 2>"$f.err"; then
        fail "$f: lzpack failed"
        continue
    fi
    n=$(size "$f")
    want="53 5a 44 44 88 f0 27 33 41 $(hexchar "${f: -1}") $(le32 "$n")"
    got=$(header "$packed")
    [ "$got" = "$want" ] || fail "$f: header '$got', expected '$want'"
    msexpand < "$packed" > "$f.ms" 2>/dev/null
    cmp -s "$f" "$f.ms" || fail "$f: msexpand gives different bytes"
    "$LZPACK" -d "$packed" "$f.out" || fail "$f: lzpack -d failed"
    cmp -s "$f" "$f.out" || fail "$f: lzpack -d gives different bytes"
    echo "$f: $n -> $(size "$packed") bytes"
done

# The build's own test inputs (references at ring distances up to 4095 and
# into the ring's unwritten blanks) through the independent decoder too.
if [ -d "${BUILD_DIR:-}/lztest" ]; then
    check
    n=0
    for orig in "$BUILD_DIR"/lztest/*[!_]; do
        packed=${orig%?}_
        n=$((n + 1))
        msexpand < "$packed" 2>/dev/null | cmp -s - "$orig" ||
            fail "$(basename "$packed"): msexpand disagrees with the original"
    done
    [ "$n" -ge 8 ] || fail "only $n packed test inputs in $BUILD_DIR/lztest"
fi

# --- compression -----------------------------------------------------------
check
[ "$(size repeat.tx_)" -lt $((300000 / 8)) ] || fail "repetitive text packs to $(size repeat.tx_) bytes"
# 18 blanks per reference, all from the ring's initial blanks: 4000 bytes in
# well under 600.
[ "$(size blanks.tx_)" -lt 600 ] || fail "blanks pack to $(size blanks.tx_) bytes"
# Incompressible data grows by at most one control byte per eight literals.
[ "$(size random.bi_)" -le $((262144 * 9 / 8 + 14 + 1)) ] || fail "random data grows to $(size random.bi_)"
[ "$(size big.bi_)" -lt 5242880 ] || fail "5 MB input did not shrink"
[ "$(size empty.da_)" -eq 14 ] || fail "empty input gives $(size empty.da_) bytes, not the bare header"
# Packing that makes a file larger says so, with the figures; packing that
# shrinks it says nothing.
grep -q "random.bi_ is 12\\.[0-9] % larger than random.bin (262144 -> $(size random.bi_) bytes)" random.bin.err ||
    fail "no note that random data grew: '$(cat random.bin.err)'"
[ ! -s repeat.txt.err ] || fail "a note for data that shrank: '$(cat repeat.txt.err)'"

# --- missing last character --------------------------------------------------
check
printf 'abc' > sample.txt
"$LZPACK" sample.txt sample.tx_ && [ "$(header sample.tx_ | cut -d' ' -f10)" = 74 ] ||
    fail "sample.tx_ does not record 't'"
"$LZPACK" -n msvcrt20.dll sample.txt msvcrt20._ll && [ "$(header msvcrt20._ll | cut -d' ' -f10)" = 6c ] ||
    fail "-n msvcrt20.dll does not record 'l'"
"$LZPACK" -n zrfilt32.8bf sample.txt "$tmp/zrfilt32._bf" && [ "$(header zrfilt32._bf | cut -d' ' -f10)" = 66 ] ||
    fail "-n zrfilt32.8bf does not record 'f'"
"$LZPACK" sample.txt sample.pak && [ "$(header sample.pak | cut -d' ' -f10)" = 00 ] ||
    fail "an output not ending in '_' without -n should record 0"

# --- checksum list (-l): the CRC-32 check value, sizes, the last line ------
check
printf '123456789' > nine.txt
"$LZPACK" nine.txt NINE.TX_ && "$LZPACK" -l NINE.TX_ > nine.crc || fail "-l of a packed file failed"
[ "$(head -n 1 nine.crc)" = "$(printf 'nine.tx_              9 CBF43926\r')" ] ||
    fail "-l entry of '123456789' is '$(head -n 1 nine.crc | tr -d '\r')', not 9 bytes, CRC CBF43926"
# the last line: the count and the CRC-32 of the entries before it (gzip's
# trailer holds the CRC-32 of its input, an independent computation)
"$LZPACK" -l empty.da_ one.da_ repeat.tx_ > three.crc || fail "-l of three files failed"
want=$(head -n 3 three.crc | gzip -c | tail -c 8 | head -c 4 | od -An -tx4 | tr -d ' ' | tr a-f A-F)
[ "$(tail -n 1 three.crc)" = "$(printf '* 3 %s\r' "$want")" ] ||
    fail "-l last line '$(tail -n 1 three.crc | tr -d '\r')', expected '* 3 $want'"
want=$(gzip -c repeat.txt | tail -c 8 | head -c 4 | od -An -tx4 | tr -d ' ' | tr a-f A-F)
sed -n 3p three.crc | grep -q "^repeat.tx_  *300000 $want"$'\r'"\$" ||
    fail "-l entry of repeat.tx_ '$(sed -n 3p three.crc)' does not hold 300000 and $want"
"$LZPACK" -l nine.txt > none.crc 2>err.txt && fail "-l accepted a file that is not packed"
[ -s none.crc ] && fail "-l printed a list although a file did not unpack"
"$LZPACK" -l 2>/dev/null; [ $? -eq 2 ] || fail "-l without files should give exit status 2"

# --- refusals: non-zero exit, a message, and no output at all ----------------
no_output() { # name of a test, output path
    [ ! -e "$2" ] || fail "$1: left an output file"
    ls "$2".tmp.* >/dev/null 2>&1 && fail "$1: left a temporary file"
}
check
"$LZPACK" missing.dat out1._ 2>err.txt && fail "a missing input was accepted"
grep -q 'missing.dat' err.txt || fail "the message does not name the missing input: $(cat err.txt)"
no_output "missing input" out1._

check
truncate -s 4294967296 huge.bin
"$LZPACK" huge.bin huge.bi_ 2>err.txt && fail "a 4 GiB input was accepted"
grep -q '4 GiB' err.txt || fail "the message does not explain the 4 GiB limit: $(cat err.txt)"
no_output "4 GiB input" huge.bi_
rm -f huge.bin

check
mkdir adir
"$LZPACK" adir adir.pk_ 2>/dev/null && fail "a directory was accepted as input"
no_output "directory input" adir.pk_
"$LZPACK" one.dat "$tmp/no/such/dir/x._" 2>/dev/null && fail "an output in a missing directory was accepted"

check
"$LZPACK" -d sample.txt notszdd.out 2>err.txt && fail "-d accepted a file that is not SZDD"
no_output "-d of plain file" notszdd.out
# A truncated stream must not replace an existing output.
head -c $(($(size repeat.tx_) / 2)) repeat.tx_ > cut.tx_
printf 'keep me' > kept.txt
"$LZPACK" -d cut.tx_ kept.txt 2>err.txt && fail "-d accepted a truncated stream"
grep -q 'ends' err.txt || fail "truncation not reported: $(cat err.txt)"
[ "$(cat kept.txt)" = 'keep me' ] || fail "a failed -d clobbered the existing output"
ls kept.txt.tmp.* >/dev/null 2>&1 && fail "a failed -d left a temporary file"
# Bytes after the stream are damage too.
cp one.da_ long.da_ && printf 'xx' >> long.da_
"$LZPACK" -d long.da_ long.out 2>/dev/null && fail "-d accepted trailing bytes"
no_output "-d with trailing bytes" long.out

check
"$LZPACK" 2>/dev/null; [ $? -eq 2 ] || fail "no arguments should give exit status 2"
"$LZPACK" -x a b 2>/dev/null; [ $? -eq 2 ] || fail "an unknown option should give exit status 2"
"$LZPACK" -n 2>/dev/null; [ $? -eq 2 ] || fail "-n without a name should give exit status 2"

# --- a successful pack replaces an existing output ---------------------------
check
printf 'old' > repl.tx_
"$LZPACK" repeat.txt repl.tx_ && "$LZPACK" -d repl.tx_ repl.out && cmp -s repl.out repeat.txt ||
    fail "packing over an existing file"

echo "$checks groups checked, $failures failures"
[ "$failures" -eq 0 ]
