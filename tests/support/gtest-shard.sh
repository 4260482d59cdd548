#!/usr/bin/env bash
# Runs one shard of a GoogleTest executable in one Wine process (a fresh
# prefix and Xvfb for the shard, not for every case) and reports each case
# by name:
#   gtest-shard.sh AREA EXE INDEX COUNT [FILTER]
# The shard is GoogleTest's own split (case k of the filtered list runs in
# shard k mod COUNT). Cases whose name starts with OwnProcess are left out
# of the shards: each runs alone with FILTER naming it, COUNT 1.
# A failed case prints "FAILED: AREA.Suite.Case"; a case the process died in
# is named as well, and the cases of the shard it did not reach run again in
# a new process. A skipped case prints "SKIPPED: AREA.Suite.Case" and is
# listed in test-output/gtest/*.skipped; a shard whose cases all skipped
# exits 77 (reported as skipped by ctest).
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
area=$1 exe=$2 index=$3 count=$4
filter=${5:--*.OwnProcess*}
out=${TEST_BINARY_DIR:-$(dirname "$(dirname "$exe")")}/test-output/gtest
mkdir -p "$out"
tag=$area-$index-of-$count
[ "$count" = 1 ] && [ "$filter" != '-*.OwnProcess*' ] && tag=$area-$filter
log=$out/$tag.log
skipfile=$out/$tag.skipped
: > "$skipfile"

# run FILTER SHARDING(0/1): runs the executable, its output on stdout and in $log.
run() {
    if [ "$2" = 1 ]; then
        GTEST_TOTAL_SHARDS=$count GTEST_SHARD_INDEX=$index \
            bash "$here/../../scripts/wine-run.sh" "$exe" --gtest_filter="$1" 2>&1 | tee -a "$log"
    else
        env -u GTEST_TOTAL_SHARDS -u GTEST_SHARD_INDEX \
            bash "$here/../../scripts/wine-run.sh" "$exe" --gtest_filter="$1" 2>&1 | tee -a "$log"
    fi
    return "${PIPESTATUS[0]}"
}

# Cases of this shard, in order: gtest's own assignment over the filtered list.
shard_cases() {
    local suite= line n=0
    bash "$here/../../scripts/wine-run.sh" "$exe" --gtest_list_tests --gtest_filter="$filter" 2>/dev/null |
        tr -d '\r' | while IFS= read -r line; do
            case $line in
                '  '*) line=${line#  }; line=${line%%  #*}
                       [ $((n % count)) = "$index" ] && printf '%s%s\n' "$suite" "$line"
                       n=$((n + 1)) ;;
                *.)    suite=$line ;;
            esac
        done
}

# ended WORD: the cases the log reports as ended so ("[  WORD  ] name (N ms)").
ended() {
    tr -d '\r' < "$log" | awk -v w="$1" '$0 ~ "^\\[ *" w " *\\] .* ms\\)$" {n=$4; sub(/,$/,"",n); print n}'
}

: > "$log"
run "$filter" 1
status=$?
failed=0
crashed=0
for attempt in 1 2 3 4 5 6 7 8 9 10; do
    [ "$status" = 0 ] && break
    # The last case started and not finished is the one the process ended in.
    dead=$(tr -d '\r' < "$log" | awk '/^\[ RUN      \] /{c=$4} / ms\)$/{n=$4; sub(/,$/,"",n); if (n==c) c=""} END{print c}')
    [ -n "$dead" ] || break
    echo "FAILED: $area.$dead (the test process ended in this case, exit status $status)"
    failed=1 crashed=$((crashed + 1))
    done_list=$(ended '(OK|FAILED|SKIPPED)')
    rest=$(shard_cases | grep -vxF -f <(printf '%s\n%s\n' "$done_list" "$dead") | paste -sd: -)
    [ -n "$rest" ] || { status=0; break; }
    echo "note: the cases of the shard after it run again in a new process"
    run "$rest" 0
    status=$?
done

passed=$(ended OK | sort -u | grep -c .)
skipped=$(ended SKIPPED | sort -u)
fails=$(ended FAILED | sort -u)
for c in $fails; do echo "FAILED: $area.$c"; done
for c in $skipped; do echo "SKIPPED: $area.$c" | tee -a "$skipfile"; done
nskip=$(printf '%s' "$skipped" | grep -c .)
nfail=$(( $(printf '%s' "$fails" | grep -c .) + crashed ))
echo "gtest $tag: $passed passed, $nfail failed, $nskip skipped"
[ -n "$fails" ] && failed=1
if [ "$failed" = 0 ] && [ "$status" != 0 ]; then
    echo "FAILED: $tag: the test process ended with status $status"
    failed=1
fi
[ "$failed" = 1 ] && exit 1
[ "$passed" = 0 ] && [ "$nskip" -gt 0 ] && exit 77
exit 0
