#!/usr/bin/env bash
# Runs the libFuzzer harness over lzpack's packer and unpacker (random input
# -> pack -> unpack must give the input back; random packed streams must be
# refused or expanded without any access outside the buffers) for a million
# inputs with a fixed seed. Any crash, sanitizer report or mismatch fails.
set -u
FUZZER=${HOST_TOOLS_DIR:?HOST_TOOLS_DIR not set}/lzfuzz
RUNS=${LZFUZZ_RUNS:-1000000}
SEED=1

if [ ! -x "$FUZZER" ]; then
    # The host tools skip the harness when no clang++ can build fuzzers.
    if command -v clang++ >/dev/null &&
       echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long){return 0;}' |
       clang++ -x c++ -fsanitize=fuzzer - -o /dev/null 2>/dev/null; then
        echo "FAIL: clang++ builds fuzzers but $FUZZER was not built"
        exit 1
    fi
    echo "fuzz: lzpack libFuzzer skipped: no clang++ with -fsanitize=fuzzer on this machine"
    exit 0
fi

tmp=$(mktemp -d /tmp/lzfuzz-test.XXXXXX)
trap 'rm -rf "$tmp"' EXIT
mkdir "$tmp/corpus" "$tmp/artifacts"

# A small corpus. The first byte picks the mode: even packs the rest, odd
# unpacks it (with bit 1 set a valid signature and method are put in front).
printf '\000the sample filter inverts the image, row by row. row by row.' > "$tmp/corpus/text"
{ printf '\000'; head -c 300 /dev/zero | tr '\0' ' '; printf 'end'; } > "$tmp/corpus/blanks"
{ printf '\000'; head -c 600 /dev/urandom; } > "$tmp/corpus/noise"
# "aaaa..." packed by hand: header (last character 'x', length 40), one
# literal, one reference to it of 18, then literals would follow.
printf '\003x\050\000\000\000\003a\360\017\360\017\360\003' > "$tmp/corpus/stream"
printf '\001SZDD\210\360\047\063A\000\000\000\000\000' > "$tmp/corpus/empty-file"

log=$tmp/log
cd "$tmp" || exit 1
"$FUZZER" -runs="$RUNS" -seed="$SEED" -max_len=4096 -timeout=60 -rss_limit_mb=4096 \
    -artifact_prefix="$tmp/artifacts/" -print_final_stats=1 "$tmp/corpus" > "$log" 2>&1
status=$?

runs=$(sed -n 's/^Done \([0-9]*\) runs.*/\1/p' "$log" | tail -1)
if [ $status -ne 0 ] || [ "${runs:-0}" -lt "$RUNS" ]; then
    tail -n 60 "$log"
    for f in "$tmp"/artifacts/*; do
        [ -f "$f" ] && { echo "crashing input $f:"; od -An -tx1 -v "$f" | head -20; }
    done
    echo "fuzz: lzpack libFuzzer ${runs:-0} inputs, 1 failures (seed $SEED), exit status $status"
    exit 1
fi
grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|#[0-9]+[[:space:]]+DONE)' "$log"
echo "fuzz: lzpack libFuzzer $runs inputs, 0 failures (seed $SEED)"
exit 0
