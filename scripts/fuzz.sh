#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for FUZZ_SECONDS
# (default 60), starting from the seed corpus in tests/fuzz/corpus. New
# inputs stay in build/fuzz/corpus-<target>; a crash leaves its input in
# build/fuzz/ and ends the run with a failure.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup-packages.sh
scripts/build.sh fuzz
status=0
for target in build/fuzz/fuzz_*; do
    name=$(basename "$target")
    corpus=build/fuzz/corpus-${name#fuzz_}
    mkdir -p "$corpus"
    log=build/fuzz/$name.log
    if ! (cd build/fuzz && "./$name" -max_total_time="${FUZZ_SECONDS:-60}" -print_final_stats=1 \
            "../../$corpus" "../../tests/fuzz/corpus/${name#fuzz_}") >"$log" 2>&1; then
        status=1
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    crashes=$(grep -c '^==.*ERROR' "$log" || true)
    echo "$name: ${runs:-?} executions, $crashes crashes (log $log)"
done
exit $status
