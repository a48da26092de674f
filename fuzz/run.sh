#!/bin/bash
# Runs the fuzz targets of a fuzz build for a set time each:
#   fuzz/run.sh BUILD_DIR SECONDS [TARGET...]
# New inputs go to BUILD_DIR/corpus/<target> (the seeds in fuzz/corpus/<target> are read,
# never written); a finding leaves its input in BUILD_DIR/artifacts and fails the run.
# One line per target; every run is appended to BUILD_DIR/fuzz-runs.tsv (date, target,
# seconds, executions, result) for the reliability record.
set -uo pipefail

build=${1:?build dir}
seconds=${2:?seconds}
shift 2
src=$(cd "$(dirname "$0")" && pwd)

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for f in "$src"/fuzz_*.cpp; do targets+=("$(basename "$f" .cpp)"); done
fi

mkdir -p "$build/corpus" "$build/artifacts" "$build/logs"
failed=0
for t in "${targets[@]}"; do
    bin="$build/fuzz/$t"
    seeds="$src/corpus/$t"
    log="$build/logs/$t.log"
    if [ ! -x "$bin" ]; then
        echo "fuzz $t: not built" >&2
        failed=1
        continue
    fi
    mkdir -p "$build/corpus/$t"
    [ -d "$seeds" ] || { echo "fuzz $t: no seed corpus in fuzz/corpus/$t" >&2; failed=1; continue; }
    # FUZZ_SEED fixes libFuzzer's random choices, so that a short smoke run in CI explores
    # the same inputs every time instead of failing on one machine and not on the next.
    "$bin" ${FUZZ_SEED:+-seed="$FUZZ_SEED"} -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$build/artifacts/$t-" "$build/corpus/$t" "$seeds" >"$log" 2>&1
    rc=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    runs=${runs:-0}
    if [ $rc -eq 0 ]; then
        result=ok
        echo "fuzz $t: $runs executions in ${seconds}s, no finding"
    else
        result="finding(rc=$rc)"
        failed=1
        echo "fuzz $t: FINDING after $runs executions (exit $rc); input in $build/artifacts/, log $log" >&2
        grep -m1 -A30 -E 'ERROR: |fuzz check failed|runtime error' "$log" >&2
    fi
    printf '%s\t%s\t%s\t%s\t%s\n' "$(date -u +%FT%TZ)" "$t" "$seconds" "$runs" "$result" \
        >>"$build/fuzz-runs.tsv"
done
exit $failed
