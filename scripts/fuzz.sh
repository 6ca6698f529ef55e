#!/usr/bin/env bash
# Builds the fuzz targets of tests/fuzz (build-fuzz/: clang, libFuzzer,
# AddressSanitizer and UndefinedBehaviorSanitizer) and runs them one after the
# other at the lowest priority, each for the given number of seconds (default
# 600) or 10 million executions (COFRA_FUZZ_RUNS), whichever comes first.
# Prints the executions, coverage and findings of each. Not part of the tests
# or of CI.
#
#   scripts/fuzz.sh [seconds] [target...]      e.g. scripts/fuzz.sh 60 strongform
#
# Seeds come from tests/fuzz/corpus/<target>/ and are only read; what the
# fuzzer adds goes to a scratch folder ($COFRA_FUZZ_SCRATCH, by default
# /tmp/cofra-fuzz/<target>/), so the seed folders stay small. An input that
# shows a finding (crash, sanitizer report, violated property, leak, time-out)
# goes to build-fuzz/findings/<target>/, with the run's log beside it. Replay
# one with build-fuzz/fuzz/fuzz_<target> <file>. What the desktop libraries
# keep for the life of the process (tests/lsan.supp) is not a leak.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-600}
[ $# -gt 0 ] && shift
runs=${COFRA_FUZZ_RUNS:-10000000}
scratch=${COFRA_FUZZ_SCRATCH:-/tmp/cofra-fuzz}

if ! command -v clang++ >/dev/null; then
    echo "fuzz.sh: clang++ is needed (Debian: sudo apt-get install clang libclang-rt-dev)" >&2
    exit 1
fi
# The machine is usually shared: two compile jobs at most.
jobs=$(($(nproc 2>/dev/null || echo 2) < 2 ? 1 : 2))
cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCOFRA_FUZZ=ON -DCOFRA_BUILD_TESTS=OFF -DCOFRA_BUILD_BENCH=OFF >/dev/null
nice -n 19 cmake --build build-fuzz --target cofra_fuzz -j "$jobs"

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for dir in tests/fuzz/corpus/*/; do
        targets+=("$(basename "$dir")")
    done
fi

status=0
printf '\n%-18s %12s %8s %8s %8s %s\n' target executions seconds cov ft findings
for target in "${targets[@]}"; do
    binary=build-fuzz/fuzz/fuzz_$target
    [ -x "$binary" ] || { echo "fuzz.sh: no target $target" >&2; exit 2; }
    corpus=$scratch/$target
    findings=build-fuzz/findings/$target
    log=build-fuzz/findings/$target.log
    mkdir -p "$corpus" "$findings"
    before=$(find "$findings" -type f | wc -l)
    start=$(date +%s)
    # One process, one worker: a single target at a time at the lowest priority.
    LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp nice -n 19 "$binary" -max_total_time="$seconds" -runs="$runs" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$findings/" "$corpus" "tests/fuzz/corpus/$target" >"$log" 2>&1 || true
    elapsed=$(($(date +%s) - start))
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    last=$(grep -E '^#[0-9]+' "$log" | tail -1 || true)
    cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")
    ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")
    found=$(($(find "$findings" -type f | wc -l) - before))
    printf '%-18s %12s %8s %8s %8s %s\n' "$target" "${executions:-?}" "$elapsed" "${cov:-?}" "${ft:-?}" "$found"
    if [ "$found" -gt 0 ]; then
        status=1
        grep -m1 -E 'ERROR|property violated|runtime error' "$log" | sed 's/^/    /' || true
        echo "    see $log"
    fi
done
exit $status
