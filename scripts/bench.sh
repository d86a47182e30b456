#!/usr/bin/env bash
# Builds in release mode and runs the benchmarks under Wine on a private X
# server: the 32-bit build where this machine runs it, otherwise the 64-bit
# one. Makes its data under build/bench/, prints one table and writes it to
# build/bench/results.md. Figures only: nothing here fails on a timing.
# BENCH_ONLY=panes runs only the listing, refresh, sort and memory cases;
# BENCH_ONLY=answer only the window's answers during a paste and a recycle;
# BENCH_ONLY=follow only the panes following changes made on the disk.
# BENCH_EXE=<path of a Brennik.exe> times that build in the window's cases.
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
only=${BENCH_ONLY:-}
case $only in "" | panes | answer | follow) ;; *) echo "BENCH_ONLY is empty, panes, answer or follow" >&2; exit 2 ;; esac
all() { [ -z "$only" ]; }
want_panes() { [ -z "$only" ] || [ "$only" = panes ]; }
want_answer() { [ -z "$only" ] || [ "$only" = answer ]; }
want_follow() { [ -z "$only" ] || [ "$only" = follow ]; }
out=$root/build/bench
data=$out/data
mkdir -p "$data"
# The program's core reads "Brenn.dat" from the current folder at start.
cp tests/fixtures/Brenn.dat "$out/Brenn.dat"

# Data, made once: empty files to list, tree A (5,000 files of 4 KiB in 50
# folders), tree B (8 files of 64 MiB), tree F (500 folders of one small file
# each, also the pane of 500 folders) and a real tree: the machine's
# /usr/share/doc copied aside with its links. sort100000 has files of many
# sizes, dates and types, so that every column's sort moves the rows.
for n in 1000 10000 50000 100000; do
    if { want_panes || want_follow; } && [ ! -d "$data/list$n" ]; then
        mkdir -p "$data/list$n"
        (cd "$data/list$n" && seq -f 'file%05g.txt' 1 "$n" | xargs touch)
    fi
done
if want_panes && [ ! -d "$data/sort100000" ]; then
    mkdir -p "$data/sort100000.part"
    python3 - "$data/sort100000.part" <<'EOF'
import os, random, sys
folder = sys.argv[1]
rng = random.Random(33)
exts = ["txt", "log", "dat", "csv", "bmp", "jpg", "ini", "xml"]
stems = rng.sample(range(26 ** 7), 100000)
def stem(n):
    s = ""
    for _ in range(7):
        n, r = divmod(n, 26)
        s += chr(97 + r)
    return s
files = [[stem(n), rng.choice(exts), rng.randrange(0, 50 << 20), rng.randrange(788918400, 1735689600)]
         for n in stems]
files.sort()
# The first and last names alike in all but the name: no column's sort can
# leave both of them where they were.
files[0][1:] = files[-1][1:]
for name, ext, size, when in files:
    path = os.path.join(folder, name + "." + ext)
    with open(path, "wb") as f:
        f.truncate(size)
    os.utime(path, (when, when))
EOF
    mv "$data/sort100000.part" "$data/sort100000"
fi
if all && [ ! -d "$data/treeA" ]; then
    for d in $(seq 1 50); do
        mkdir -p "$data/treeA/d$d"
        head -c 4096 /dev/urandom >"$data/treeA/d$d/f1"
        for f in $(seq 2 100); do cp "$data/treeA/d$d/f1" "$data/treeA/d$d/f$f"; done
    done
fi
if want_panes && [ ! -d "$data/treeF" ]; then
    for d in $(seq 1 500); do
        mkdir -p "$data/treeF/folder$d"
        echo "file of folder $d" >"$data/treeF/folder$d/note.txt"
    done
fi
if all && [ ! -d "$data/doc" ] && [ -d /usr/share/doc ]; then
    cp -a /usr/share/doc "$data/doc"
fi
mkdir -p "$data/empty"
# 8,000 files of 16 KiB, each its own bytes, in one folder: what the paste
# takes from the clipboard, and what the recycle sends to the bin (a fresh
# copy each time).
if want_answer && [ ! -d "$data/files16k" ]; then
    mkdir -p "$data/files16k.part"
    head -c $((8000 * 16384)) /dev/urandom | (cd "$data/files16k.part" && split -b 16384 -a 4 -d - file)
    mv "$data/files16k.part" "$data/files16k"
fi
if all && [ ! -d "$data/treeB" ]; then
    mkdir -p "$data/treeB"
    for f in $(seq 1 8); do head -c $((64 << 20)) /dev/urandom >"$data/treeB/big$f"; done
fi

start_xvfb
# Each step of the clean-up runs whatever the one before gave: wineserver -k
# fails once the server has gone by itself, and the X server was then left.
trap 'set +e; wineserver -k 2>/dev/null; stop_xvfb; release_prefix' EXIT
winpath() { echo "Z:$(echo "$1" | tr / '\\')"; }
program=$root/build/$tree/Brennik.exe
if [ -n "${BENCH_EXE:-}" ]; then
    program=$(realpath "$BENCH_EXE")
    export BRENNIK_BENCH_PROGRAM=$(winpath "$program")
fi

# The Linux peers, each timed over the same number of runs.
median() { sort -n | awk '{v[NR]=$1} END {if (!NR) printf "?|?|?"; else printf "%.4f|%.4f|%.4f", v[int((NR+1)/2)], v[1], v[NR]}'; }
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
: >"$peers"
# rsync names the links that lead nowhere and says it copied not all: the rest is copied.
quiet() { "$@" >/dev/null 2>&1 || true; }
all && {
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
# A click on a column header, a paste or a recycle: the time until the sorted
# rows answer or the command has ended, and the worst gap between the
# window's answers, each as median|min|max. What the bench says of a run
# (a box of the program, questions of the shell) goes to window.log.
clicks() {  # name prepare case left right
    local lines name=$1 prepare=$2
    shift 2
    lines=$(for i in $(seq 1 "$runs"); do
        eval "$prepare"
        (cd "$out" && "$WINE" "$root/build/$tree/window_bench.exe" "$1" "$(winpath "$2")" "$(winpath "$3")" \
            </dev/null 2>>"$out/window.log") | tr -d '\r'
    done)
    echo "$name answer|$(echo "$lines" | cut -d'|' -f2 | grep . | median)"
    echo "$name gap|$(echo "$lines" | cut -d'|' -f3 | grep . | median)"
}
window_walks() {
    for t in $trees treeB; do
        whole "window copy $t" 'rm -rf "$out/peer"; mkdir "$out/peer"' copy "$data/$t" "$out/peer"
        whole "window update $t" : update "$data/$t" "$out/peer"
    done
    whole "window delete treeA" 'rm -rf "$out/peer"; cp -a "$data/treeA" "$out/peer"' delete "$data/empty" "$out/peer"
    rm -rf "$out/peer"
}
: >"$out/window.log"
{
    all && window_walks
    want_panes && for t in treeF list10000 list100000; do
        whole "window refresh $t" : refresh "$data/empty" "$data/$t"
    done
    want_panes && for c in name size type date name-all; do
        clicks "window sort $c" : "sort-$c" "$data/empty" "$data/sort100000"
    done
    want_answer && {
        clicks "window paste" 'rm -rf "$out/paste"; mkdir "$out/paste"' paste "$data/files16k" "$out/paste"
        # The bin of this prefix is emptied first: a fuller one costs each move more.
        clicks "window recycle" 'rm -rf "$out/recycle" "${XDG_DATA_HOME:?}/Trash"; cp -a "$data/files16k" "$out/recycle"' \
            recycle "$data/empty" "$out/recycle"
        rm -rf "$out/paste" "$out/recycle" "$XDG_DATA_HOME/Trash"
    }
    want_follow && {
        clicks "window follow small" 'rm -rf "$out/follow"; mkdir "$out/follow"' follow "$data/empty" "$out/follow"
        clicks "window follow 100000" : follow "$data/empty" "$data/list100000"
        rm -rf "$out/follow"
    }
} >"$window"

own=$out/own.txt
: >"$own"
want_panes && (cd "$out" && "$WINE" "$root/build/$tree/fileops_bench.exe" "$runs" "$(winpath "$data/")" $only \
    </dev/null 2>/dev/null) | tr -d '\r' >"$own"

# Idle CPU of the running program over 10 s, from the Linux side.
printf '[Filer]\r\nL_dir=%s\r\nR_dir=%s\r\n' "$(winpath "$data/list1000/")" "$(winpath "$data/list1000/")" \
    >"$WINEPREFIX/drive_c/windows/Ostrand.ini"
all && (cd "$out" && "$WINE" "$program" </dev/null >/dev/null 2>&1 &)
pid=
all && for i in $(seq 1 50); do
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
walk_rows() {
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
}
window_walk_rows() {
    for t in $trees treeB; do
        row "Copy of $t, window" "window copy $t" "$window" "xcopy" "xcopy $t" "$peers" "<= 1x"
        row "Copy of $t, window" "window copy $t" "$window" "in-process" "copy $t" "$own" "-"
        row "No-op update of $t, window" "window update $t" "$window" "xcopy /D" "xcopy update $t" "$peers" "<= 1x"
        [ "$t" = treeB ] || row "No-op update of $t, window" "window update $t" "$window" "in-process" "update $t" "$own" "-"
    done
    [ -d "$data/doc" ] && row "No-op update of doc, window" "window update doc" "$window" "rsync -aL" "rsync doc" "$peers" "<= 2x + start"
    row "Delete of tree A, window" "window delete treeA" "$window" "cmd /c rd /s /q" "rd treeA" "$peers" "<= 1x"
    row "Delete of tree A, window" "window delete treeA" "$window" "in-process" "delete treeA" "$own" "-"
}
# median|min|max as "median s | min-max s".
spread() { echo "${1%%|*} $2 | $(echo "$1" | cut -d'|' -f2)-$(echo "$1" | cut -d'|' -f3) $2"; }
panes_tables() {
    echo "| Case | Median | Min-max | Floor or peer (median) | Ratio | Target |"
    echo "|---|---|---|---|---|---|"
    for n in 1000 10000 50000; do
        row "ListFolder, $n files" "list $n" "$own" "enumeration + shell queries" "list floor $n" "$own" "<= 2x"
    done
    row "ListFolder, 100000 files" "list 100000" "$own" "enumeration + shell queries" "list floor 100000" "$own" "<= 1.5x"
    row "ListFolder, 500 folders" "list treeF" "$own" "enumeration + shell queries" "list floor treeF" "$own" "-"
    if all; then walk_rows; fi
    if all; then echo "| Idle CPU for 10 s | $idle % of one core | | | | < 2% |"; fi
    for n in 50000 100000; do
        echo "| Memory, $n items listed, per 1,000 | $(spread "$(get "memory per 1000 items $n" "$own")" KiB) |" \
            "the folder search alone $(get "memory floor per 1000 items $n" "$own" | cut -d'|' -f1) KiB;" \
            "the model's own bytes $(get "model per 1000 items $n" "$own") KiB | | <= before |"
    done
    echo
    echo "The running program, from the command to the end text and the relisted pane"
    if all; then
        echo "(Wine's own start, \`cmd /c exit\`: $(get "wine cmd exit" "$peers" | cut -d'|' -f1) s, is in every xcopy figure)"
    fi
    echo
    echo "| Case | Median | Min-max | Peer or in-process (median) | Ratio | Target |"
    echo "|---|---|---|---|---|---|"
    if all; then window_walk_rows; fi
    row "Refresh of a pane of 500 folders" "window refresh treeF" "$window" "in-process" "list treeF" "$own" "-"
    for n in 10000 100000; do
        row "Refresh of a pane of $n files" "window refresh list$n" "$window" "in-process" "list $n" "$own" "-"
    done
    row "Refresh of a pane of 100000 files" "window refresh list100000" "$window" "refresh of 10000" \
        "window refresh list10000" "$window" "<= 12x"
    echo
    echo "A click on a column header of a pane of 100,000 files of many sizes, dates and types,"
    echo "watched from another process: the time until the window answers with the sorted rows,"
    echo "and the worst gap between its answers"
    echo
    echo "| Column clicked | Answer, median | Min-max | Worst gap, median | Min-max | Target |"
    echo "|---|---|---|---|---|---|"
    for c in name size type date name-all; do
        label=$c
        [ "$c" = name-all ] && label="name, every row selected"
        echo "| $label | $(spread "$(get "window sort $c answer" "$window")" s) |" \
            "$(spread "$(get "window sort $c gap" "$window")" s) | < 0.25 s |"
    done
    echo
    (cd "$out" && "$WINE" "$root/build/$tree/sort_bench.exe" "$runs" </dev/null 2>/dev/null) | tr -d '\r'
}
# The paste and the recycle, with what the bench said of their runs.
answer_table() {
    echo "The window's answers during a paste of 8,000 files of 16 KiB (one folder put on the"
    echo "clipboard) and during the recycle of 8,000 such files, watched from another process:"
    echo "the time until the command has ended (the recycle's from the answer to its question)"
    echo "and the worst gap between answers, counted from the command (the recycle's from"
    echo "the close of its question: Wine without a window manager waits 2 s at every dialog's close)"
    echo
    echo "| Command | End, median | Min-max | Worst gap, median | Min-max | Target |"
    echo "|---|---|---|---|---|---|"
    for c in paste recycle; do
        echo "| $c | $(spread "$(get "window $c answer" "$window")" s) |" \
            "$(spread "$(get "window $c gap" "$window")" s) | < 0.5 s |"
    done
    echo
    grep -h '^the ' "$out/window.log" | sort | uniq -c | sed 's/^ *\([0-9]*\) \(.*\)/- \2 (in \1 runs)/' || true
}
follow_table() {
    echo "A file made in a pane's folder by another program, ten times one after the other, watched"
    echo "from that program: the time until the pane shows its row, and the worst gap between the"
    echo "window's answers meanwhile"
    echo
    echo "| Folder | Row shown, median | Min-max | Worst gap, median | Min-max | Target |"
    echo "|---|---|---|---|---|---|"
    for c in small 100000; do
        label="$c files"
        [ "$c" = small ] && label="a few files"
        echo "| $label | $(spread "$(get "window follow $c answer" "$window")" s) |" \
            "$(spread "$(get "window follow $c gap" "$window")" s) | gap < 0.1 s |"
    done
    echo
}
{
    echo "Benchmarks of the $tree build, $(date -u +%Y-%m-%d), $(nproc) cores, $("$WINE" --version), medians of $runs runs${only:+ (BENCH_ONLY=$only)}${BENCH_EXE:+, program $program}"
    echo
    if want_panes; then panes_tables; fi
    if want_answer; then answer_table; fi
    if want_follow; then follow_table; fi
} | tee "$out/results.md"
