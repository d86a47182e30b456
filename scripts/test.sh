#!/usr/bin/env bash
# Builds everything and runs the host, Wine and end-to-end tests; ends with
# one line "N passed, N failed".
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup-packages.sh || exit 1
. scripts/arch.sh
. scripts/xvfb.sh

trees=(win64)
if can_run_32bit; then
    trees+=(win32)
else
    echo "32-bit Wine tests skipped: this machine runs 64-bit programs only"
fi

results=$root/build/results
rm -rf "$results"
mkdir -p "$results/host"

scripts/build.sh host || exit 1
for tree in "${trees[@]}"; do scripts/build.sh "$tree" || exit 1; done
# The release archive, unpacked where its end-to-end test finds it.
archive=$(scripts/dist.sh | tail -1) || exit 1
export BRENNIK_DIST_DIR=$root/build/dist-check
rm -rf "$BRENNIK_DIST_DIR"
unzip -q "$archive" -d "$BRENNIK_DIST_DIR" || exit 1

GTEST_OUTPUT=xml:$results/host/ ctest --test-dir build/host --output-junit "$results/host/ctest.xml" \
    --output-on-failure -Q
# Each fuzz target over its seed corpus: a crash once found stays fixed.
mkdir -p "$results/fuzz"
scripts/build.sh fuzz || exit 1
ctest --test-dir build/fuzz --output-junit "$results/fuzz/ctest.xml" --output-on-failure -Q

cleanup() {
    for tree in "${trees[@]}"; do
        (. scripts/wine-env.sh "$tree"; wineserver -k 2>/dev/null)
    done
    stop_xvfb
}
trap cleanup EXIT
start_xvfb || exit 1

for tree in "${trees[@]}"; do
    mkdir -p "$results/$tree"
    (
        . scripts/wine-env.sh "$tree"
        ensure_prefix || exit 1
        make_test_drive
        make_test_links
        mount_full_volume
        trap 'unmount_full_volume' EXIT
        wineserver -p
        "$WINE" "build/$tree/wine_warmup.exe" </dev/null >/dev/null 2>&1
        winout="Z:$(echo "$results/$tree/" | tr / '\\')"
        echo "== $tree: Wine and end-to-end tests (display $DISPLAY)"
        GTEST_OUTPUT="xml:$winout" ctest --test-dir "build/$tree" --output-junit "$results/$tree/ctest.xml" \
            --output-on-failure ${CTEST_ARGS:-}
    )
done

# The end-to-end tests leave their screenshots as BMP files.
for shot in build/e2e/*.bmp; do
    [ -f "$shot" ] && convert "$shot" "${shot%.bmp}.png" && rm -f "$shot"
done
for shot in main-window context-menu after-copy my-computer after-drop; do
    [ -f build/e2e/$shot-win64.png ] && cp build/e2e/$shot-win64.png build/e2e/$shot.png
done
ls build/e2e/*.png 2>/dev/null | sed 's/^/screenshot: /'

python3 scripts/tally.py "$results"
