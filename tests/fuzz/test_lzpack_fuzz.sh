#!/usr/bin/env bash
# The libFuzzer harness over lzpack's packer and unpacker (random input ->
# pack -> unpack must give the input back; random packed streams must be
# refused or expanded without any access outside the buffers). Any crash,
# sanitizer report or mismatch fails.
#  1. Replays the committed corpus (tests/fuzz/lzpack-corpus): inputs that
#     each reached new coverage, and one stream that expands past the
#     reader's 64 KiB output buffer.
#  2. Fuzzes from that corpus for LZFUZZ_RUNS inputs (default 30,000) with a
#     fixed seed (LZFUZZ_SEED, default 1), every input length allowed from
#     the start (-len_control=0). scripts/fuzz.sh runs the long fuzz.
set -u
FUZZER=${HOST_TOOLS_DIR:?HOST_TOOLS_DIR not set}/lzfuzz
CORPUS=${SOURCE_DIR:-$(cd "$(dirname "$0")/../.." && pwd)}/tests/fuzz/lzpack-corpus
RUNS=${LZFUZZ_RUNS:-30000}
SEED=${LZFUZZ_SEED:-1}

if [ ! -x "$FUZZER" ]; then
    # The host tools skip the harness when no clang++ can build fuzzers.
    if command -v clang++ >/dev/null &&
       echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long){return 0;}' |
       clang++ -x c++ -fsanitize=fuzzer - -o /dev/null 2>/dev/null; then
        echo "FAIL: clang++ builds fuzzers but $FUZZER was not built"
        exit 1
    fi
    echo "fuzz: lzpack libFuzzer skipped: no clang++ with -fsanitize=fuzzer on this machine"
    exit 77
fi

tmp=$(mktemp -d /tmp/lzfuzz-test.XXXXXX)
trap 'rm -rf "$tmp"' EXIT
mkdir "$tmp/corpus" "$tmp/artifacts"
cd "$tmp" || exit 1

failed() { # what, log, status
    tail -n 60 "$2"
    for f in "$tmp"/artifacts/*; do
        [ -f "$f" ] && { echo "crashing input $f:"; od -An -tx1 -v "$f" | head -20; }
    done
    echo "fuzz: lzpack libFuzzer: $1 failed (exit status $3)"
    exit 1
}

# 1. the corpus, each input once
inputs=("$CORPUS"/*)
[ -f "${inputs[0]}" ] || { echo "FAIL: no corpus in $CORPUS"; exit 1; }
"$FUZZER" -artifact_prefix="$tmp/artifacts/" -rss_limit_mb=4096 "${inputs[@]}" > replay.log 2>&1 ||
    failed "replay of the corpus" replay.log $?
echo "fuzz: lzpack corpus replayed: ${#inputs[@]} inputs, 0 failures"

# 2. a short fuzz from the corpus
cp "$CORPUS"/* "$tmp/corpus/"
"$FUZZER" -runs="$RUNS" -seed="$SEED" -len_control=0 -max_len=4096 -timeout=60 -rss_limit_mb=4096 \
    -artifact_prefix="$tmp/artifacts/" -print_final_stats=1 "$tmp/corpus" > fuzz.log 2>&1
status=$?
runs=$(sed -n 's/^Done \([0-9]*\) runs.*/\1/p' fuzz.log | tail -1)
if [ $status -ne 0 ] || [ "${runs:-0}" -lt "$RUNS" ]; then
    failed "${runs:-0} inputs (seed $SEED)" fuzz.log $status
fi
grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|#[0-9]+[[:space:]]+DONE)' fuzz.log
echo "fuzz: lzpack libFuzzer $runs inputs, 0 failures (seed $SEED, -len_control=0)"
exit 0
