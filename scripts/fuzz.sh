#!/usr/bin/env bash
# Builds the fuzz targets with clang in build-fuzz and runs each for a while.
#   scripts/fuzz.sh                   every target for 30 s (what CI runs)
#   scripts/fuzz.sh 900               every target for 15 minutes
#   scripts/fuzz.sh 900 fuzz_gbk      one target
# Fails on any crash, leak, broken rule or hang (a unit over 10 s), and
# prints the executions of each target.  Seeds are in fuzz/corpus/<target>;
# what a run learns stays in build-fuzz/corpus, inputs that failed in
# build-fuzz/artifacts.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-30}
shift || true
bash scripts/setup.sh

export QT_QPA_PLATFORM=offscreen
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKT_FUZZ=ON \
    -DKT_BUILD_BENCH=OFF >/dev/null
cmake --build build-fuzz -j "$(nproc)" --target kt_fuzzers

targets=("$@")
if ((${#targets[@]} == 0)); then
    for dir in fuzz/corpus/*/; do
        targets+=("$(basename "$dir")")
    done
fi

failed=0
mkdir -p build-fuzz/artifacts
for target in "${targets[@]}"; do
    work=build-fuzz/corpus/$target
    log=build-fuzz/$target.log
    mkdir -p "$work"
    status=0
    "build-fuzz/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="build-fuzz/artifacts/$target-" "$work" "fuzz/corpus/$target" >"$log" 2>&1 || status=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    if ((status != 0)); then
        failed=1
        echo "$target: FAILED after ${runs:-?} executions (log $log)"
        grep -E "ERROR|rule broken|runtime error|SUMMARY" "$log" | head -5 || true
    else
        echo "$target: ${runs:-?} executions in ${seconds} s, no finding"
    fi
done
exit "$failed"
