#!/usr/bin/env bash
# Builds in release mode and runs the benchmarks under Wine on a private X
# server: the 32-bit build where this machine runs it, otherwise the 64-bit
# one. Makes its data under build/bench/, prints one table and writes it to
# build/bench/results.md. Figures only: nothing here fails on a timing.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup-packages.sh
. scripts/arch.sh
. scripts/xvfb.sh
if can_run_32bit; then tree=win32; else tree=win64; fi
scripts/build.sh "$tree"
. scripts/wine-env.sh "$tree"
claim_prefix
ensure_prefix
runs=${BENCH_RUNS:-5}
out=$root/build/bench
data=$out/data
mkdir -p "$data"
# The program's core reads "Brenn.dat" from the current folder at start.
cp tests/fixtures/Brenn.dat "$out/Brenn.dat"

# Data, made once: empty files to list, tree A (5,000 files of 4 KiB in 50
# folders) and tree B (8 files of 64 MiB).
for n in 1000 10000 50000; do
    if [ ! -d "$data/list$n" ]; then
        mkdir -p "$data/list$n"
        (cd "$data/list$n" && seq -f 'file%05g.txt' 1 "$n" | xargs touch)
    fi
done
if [ ! -d "$data/treeA" ]; then
    for d in $(seq 1 50); do
        mkdir -p "$data/treeA/d$d"
        head -c 4096 /dev/urandom >"$data/treeA/d$d/f1"
        for f in $(seq 2 100); do cp "$data/treeA/d$d/f1" "$data/treeA/d$d/f$f"; done
    done
fi
if [ ! -d "$data/treeB" ]; then
    mkdir -p "$data/treeB"
    for f in $(seq 1 8); do head -c $((64 << 20)) /dev/urandom >"$data/treeB/big$f"; done
fi

start_xvfb
trap 'wineserver -k 2>/dev/null; stop_xvfb; release_prefix' EXIT
winpath() { echo "Z:$(echo "$1" | tr / '\\')"; }

# The Linux peers, each timed over the same number of runs.
median() { sort -n | awk '{v[NR]=$1} END {printf "%.4f|%.4f|%.4f", v[int((NR+1)/2)], v[1], v[NR]}'; }
timed() { local s e; s=$(date +%s.%N); "$@"; e=$(date +%s.%N); echo "$e - $s" | bc -l; }
peer() {  # name prepare command...
    local name=$1 prepare=$2
    shift 2
    for i in $(seq 1 "$runs"); do eval "$prepare"; timed "$@"; done | median | sed "s/^/$name|/"
    echo
}
peers=$out/peers.txt
{
    peer "cp treeA" 'rm -rf "$out/peer"' cp -a "$data/treeA" "$out/peer"
    peer "rsync treeA" '[ -d "$out/peer" ] || cp -a "$data/treeA" "$out/peer"' rsync -a "$data/treeA/" "$out/peer/"
    peer "rm treeA" '[ -d "$out/peer" ] || cp -a "$data/treeA" "$out/peer"' rm -rf "$out/peer"
    peer "cp treeB" 'rm -rf "$out/peer"' cp -a "$data/treeB" "$out/peer"
    rm -rf "$out/peer"
} >"$peers"

own=$out/own.txt
(cd "$out" && "$WINE" "$root/build/$tree/fileops_bench.exe" "$runs" "$(winpath "$data/")" </dev/null 2>/dev/null) |
    tr -d '\r' >"$own"

# Idle CPU of the running program over 10 s, from the Linux side.
printf '[Filer]\r\nL_dir=%s\r\nR_dir=%s\r\n' "$(winpath "$data/list1000/")" "$(winpath "$data/list1000/")" \
    >"$WINEPREFIX/drive_c/windows/Ostrand.ini"
(cd "$out" && "$WINE" "$root/build/$tree/Brennik.exe" </dev/null >/dev/null 2>&1 &)
pid=
for i in $(seq 1 50); do
    pid=$(pgrep -f 'Brennik.exe' | head -1 || true)
    [ -n "$pid" ] && break
    sleep 0.2
done
idle=?
if [ -n "$pid" ]; then
    sleep 3
    ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
    a=$(ticks "$pid")
    sleep 10
    b=$(ticks "$pid")
    idle=$(echo "($b - $a) * 100 / $(getconf CLK_TCK) / 10" | bc -l | xargs printf '%.2f')
    kill "$pid" 2>/dev/null || true
fi

get() { grep "^$1|" "$2" | head -1 | cut -d'|' -f2-; }
row() {  # case own-key own-file floor-label floor-key floor-file target
    local own floor ratio
    own=$(get "$2" "$3")
    floor=$(get "$5" "$6")
    ratio=$(echo "${own%%|*} / ${floor%%|*}" | bc -l 2>/dev/null | xargs printf '%.2f' 2>/dev/null || echo ?)
    printf '| %s | %s s | %s-%s s | %s %s s | %s | %s |\n' "$1" "${own%%|*}" "$(echo "$own" | cut -d'|' -f2)" \
        "$(echo "$own" | cut -d'|' -f3)" "$4" "${floor%%|*}" "$ratio" "$7"
}
{
    echo "Benchmarks of the $tree build, $(date -u +%Y-%m-%d), $(nproc) cores, $("$WINE" --version), medians of $runs runs"
    echo
    echo "| Case | Median | Min-max | Floor or peer (median) | Ratio | Target |"
    echo "|---|---|---|---|---|---|"
    for n in 1000 10000 50000; do
        row "ListFolder, $n files" "list $n" "$own" "enumeration + shell queries" "list floor $n" "$own" "<= 2x"
    done
    row "CopyTree, tree A (5,000 x 4 KiB)" "copy treeA" "$own" "bare CopyFileA loop" "copy floor treeA" "$own" "<= 1.3x"
    row "CopyTree, tree A" "copy treeA" "$own" "cp -a" "cp treeA" "$peers" "-"
    row "CopyTree, tree B (8 x 64 MiB)" "copy treeB" "$own" "bare CopyFileA loop" "copy floor treeB" "$own" "-"
    row "CopyTree, tree B" "copy treeB" "$own" "cp -a" "cp treeB" "$peers" "<= 1.43x (70% of cp)"
    row "No-op update of tree A" "update treeA" "$own" "rsync -a" "rsync treeA" "$peers" "<= 2x"
    row "DeleteTree, tree A" "delete treeA" "$own" "rm -rf" "rm treeA" "$peers" "-"
    echo "| Idle CPU for 10 s | $idle % of one core | | | | < 2% |"
    echo "| Memory, 50,000 items listed | $(get "memory per 1000 items" "$own") KiB per 1,000 items | | | | - |"
    echo
    (cd "$out" && "$WINE" "$root/build/$tree/sort_bench.exe" "$runs" </dev/null 2>/dev/null) | tr -d '\r'
} | tee "$out/results.md"
