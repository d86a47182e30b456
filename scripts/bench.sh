#!/usr/bin/env bash
# Builds in release mode and runs the benchmarks under Wine on a private X
# server: the 32-bit build where this machine runs it, otherwise the 64-bit
# one. Prints one table and writes it to build/bench/results.md.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup-packages.sh
. scripts/arch.sh
. scripts/xvfb.sh
if can_run_32bit; then tree=win32; else tree=win64; fi
scripts/build.sh "$tree"
. scripts/wine-env.sh "$tree"
ensure_prefix
out=$root/build/bench
mkdir -p "$out"
# The program's core reads "Brenn.dat" from the current folder at start.
cp tests/fixtures/Brenn.dat "$out/Brenn.dat"
start_xvfb
trap 'wineserver -k 2>/dev/null; stop_xvfb' EXIT
{
    echo "Benchmarks of the $tree build, $(date -u +%Y-%m-%d), $(nproc) cores, $("$WINE" --version)"
    echo
    (cd "$out" && "$WINE" "$root/build/$tree/sort_bench.exe" "${BENCH_RUNS:-5}" </dev/null 2>/dev/null) | tr -d '\r'
} | tee "$out/results.md"
