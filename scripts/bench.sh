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
# folders), tree B (8 files of 64 MiB), tree F (500 folders of one small file
# each, also the pane of 500 folders) and a real tree: the machine's
# /usr/share/doc copied aside with its links.
for n in 1000 10000 50000 100000; do
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
if [ ! -d "$data/treeF" ]; then
    for d in $(seq 1 500); do
        mkdir -p "$data/treeF/folder$d"
        echo "file of folder $d" >"$data/treeF/folder$d/note.txt"
    done
fi
if [ ! -d "$data/doc" ] && [ -d /usr/share/doc ]; then
    cp -a /usr/share/doc "$data/doc"
fi
mkdir -p "$data/empty"
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
trees="treeA treeF"
[ -d "$data/doc" ] && trees="$trees doc"
# rsync names the links that lead nowhere and says it copied not all: the rest is copied.
quiet() { "$@" >/dev/null 2>&1 || true; }
{
    peer "cp treeA" 'rm -rf "$out/peer"' cp -a "$data/treeA" "$out/peer"
    peer "rsync treeA" '[ -d "$out/peer" ] || cp -a "$data/treeA" "$out/peer"' rsync -a "$data/treeA/" "$out/peer/"
    peer "rm treeA" '[ -d "$out/peer" ] || cp -a "$data/treeA" "$out/peer"' rm -rf "$out/peer"
    peer "cp treeB" 'rm -rf "$out/peer"' cp -a "$data/treeB" "$out/peer"
    for t in treeF doc; do
        [ -d "$data/$t" ] || continue
        peer "cp $t" 'rm -rf "$out/peer"' quiet cp -aL "$data/$t" "$out/peer"
        peer "rsync $t" '[ -d "$out/peer" ] || quiet cp -aL "$data/$t" "$out/peer"' quiet rsync -aL "$data/$t/" "$out/peer/"
        rm -rf "$out/peer"
    done
    rm -rf "$out/peer"
    # The Windows peers under the same Wine, each a whole process like ours.
    peer "wine cmd exit" : "$WINE" cmd /c exit
    for t in $trees treeB; do
        peer "xcopy $t" 'rm -rf "$out/peer"' quiet "$WINE" xcopy /E /I /Y /Q /C "$(winpath "$data/$t")" "$(winpath "$out/peer")"
        peer "xcopy update $t" '[ -d "$out/peer" ] || quiet "$WINE" xcopy /E /I /Y /Q /C "$(winpath "$data/$t")" "$(winpath "$out/peer")"' \
            quiet "$WINE" xcopy /E /I /Y /Q /C /D "$(winpath "$data/$t")" "$(winpath "$out/peer")"
        rm -rf "$out/peer"
    done
    peer "rd treeA" '[ -d "$out/peer" ] || cp -a "$data/treeA" "$out/peer"' quiet "$WINE" cmd /c rd /s /q "$(winpath "$out/peer")"
    rm -rf "$out/peer"
} </dev/null >"$peers"

# What the user waits for: the running program, from the command to the end
# text and the relisted pane, over the same data.
window=$out/window.txt
whole() {  # name prepare case left right
    local name=$1 prepare=$2
    for i in $(seq 1 "$runs"); do
        eval "$prepare"
        (cd "$out" && "$WINE" "$root/build/$tree/window_bench.exe" "$3" "$(winpath "$4")" "$(winpath "$5")" </dev/null 2>/dev/null) |
            tr -d '\r' | cut -d'|' -f2
    done | median | sed "s/^/$name|/"
    echo
}
{
    for t in $trees treeB; do
        whole "window copy $t" 'rm -rf "$out/peer"; mkdir "$out/peer"' copy "$data/$t" "$out/peer"
        whole "window update $t" : update "$data/$t" "$out/peer"
    done
    whole "window delete treeA" 'rm -rf "$out/peer"; cp -a "$data/treeA" "$out/peer"' delete "$data/empty" "$out/peer"
    whole "window refresh treeF" : refresh "$data/empty" "$data/treeF"
    rm -rf "$out/peer"
} >"$window"

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
    row "ListFolder, 100000 files" "list 100000" "$own" "enumeration + shell queries" "list floor 100000" "$own" "<= 1.5x"
    row "ListFolder, 500 folders" "list treeF" "$own" "enumeration + shell queries" "list floor treeF" "$own" "-"
    row "CopyTree, tree A (5,000 x 4 KiB)" "copy treeA" "$own" "bare CopyFileA loop" "copy floor treeA" "$own" "<= 1.3x"
    row "CopyTree, tree A" "copy treeA" "$own" "cp -a" "cp treeA" "$peers" "-"
    row "CopyTree, tree B (8 x 64 MiB)" "copy treeB" "$own" "bare CopyFileA loop" "copy floor treeB" "$own" "-"
    row "CopyTree, tree B" "copy treeB" "$own" "cp -a" "cp treeB" "$peers" "<= 1.43x (70% of cp)"
    row "No-op update of tree A" "update treeA" "$own" "rsync -a" "rsync treeA" "$peers" "<= 1x"
    row "No-op update of tree A" "update treeA" "$own" "xcopy /D" "xcopy update treeA" "$peers" "-"
    row "DeleteTree, tree A" "delete treeA" "$own" "rm -rf" "rm treeA" "$peers" "-"
    row "DeleteTree, tree A" "delete treeA" "$own" "cmd /c rd /s /q" "rd treeA" "$peers" "-"
    for t in treeF doc; do
        [ -n "$(get "copy $t" "$own")" ] || continue
        row "CopyTree, $t" "copy $t" "$own" "cp -aL" "cp $t" "$peers" "-"
        row "CopyTree, $t" "copy $t" "$own" "xcopy" "xcopy $t" "$peers" "-"
        row "No-op update of $t" "update $t" "$own" "rsync -aL" "rsync $t" "$peers" "-"
        row "No-op update of $t" "update $t" "$own" "xcopy /D" "xcopy update $t" "$peers" "-"
    done
    echo "| Idle CPU for 10 s | $idle % of one core | | | | < 2% |"
    for n in 50000 100000; do
        echo "| Memory, $n items listed | $(get "memory per 1000 items $n" "$own") KiB per 1,000 items | | | | - |"
    done
    echo
    echo "The running program, from the command to the end text and the relisted pane"
    echo "(Wine's own start, \`cmd /c exit\`: $(get "wine cmd exit" "$peers" | cut -d'|' -f1) s, is in every xcopy figure):"
    echo
    echo "| Case | Median | Min-max | Peer or in-process (median) | Ratio | Target |"
    echo "|---|---|---|---|---|---|"
    for t in $trees treeB; do
        row "Copy of $t, window" "window copy $t" "$window" "xcopy" "xcopy $t" "$peers" "<= 1x"
        row "Copy of $t, window" "window copy $t" "$window" "in-process" "copy $t" "$own" "-"
        row "No-op update of $t, window" "window update $t" "$window" "xcopy /D" "xcopy update $t" "$peers" "<= 1x"
        [ "$t" = treeB ] || row "No-op update of $t, window" "window update $t" "$window" "in-process" "update $t" "$own" "-"
    done
    [ -d "$data/doc" ] && row "No-op update of doc, window" "window update doc" "$window" "rsync -aL" "rsync doc" "$peers" "<= 2x + start"
    row "Delete of tree A, window" "window delete treeA" "$window" "cmd /c rd /s /q" "rd treeA" "$peers" "<= 1x"
    row "Delete of tree A, window" "window delete treeA" "$window" "in-process" "delete treeA" "$own" "-"
    row "Refresh of a pane of 500 folders" "window refresh treeF" "$window" "in-process" "list treeF" "$own" "-"
    echo
    (cd "$out" && "$WINE" "$root/build/$tree/sort_bench.exe" "$runs" </dev/null 2>/dev/null) | tr -d '\r'
} | tee "$out/results.md"
