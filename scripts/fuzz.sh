#!/usr/bin/env bash
# The long fuzz, beyond what the test suite runs each time:
#   scripts/fuzz.sh [RUNS]
# the libFuzzer harness over lzpack for RUNS inputs (default 1,000,000) from
# the committed corpus, then the fuzz loops of the GoogleTest fuzz cases at
# their full counts (FUZZ_LOOPS=full). Set LZFUZZ_SEED for another seed.
# New inputs that reach new coverage can be merged into the corpus with
#   build/host-tools/lzfuzz -merge=1 tests/fuzz/lzpack-corpus NEW_DIR
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BUILD_DIR:-$root/build}
runs=${1:-1000000}
"$root/scripts/build.sh" "$build"
echo "== libFuzzer over lzpack: $runs inputs"
LZFUZZ_RUNS=$runs SOURCE_DIR=$root HOST_TOOLS_DIR=$build/host-tools \
    bash "$root/tests/fuzz/test_lzpack_fuzz.sh"
echo "== GoogleTest fuzz cases at their full counts"
FUZZ_LOOPS=full TEST_BINARY_DIR=$build \
    bash "$root/tests/support/gtest-shard.sh" fuzz "$build/tests/test_fuzz.exe" 0 1 '*'
