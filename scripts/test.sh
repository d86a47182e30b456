#!/usr/bin/env bash
# Builds everything and runs the host, Wine and end-to-end tests; ends with
# one line "N passed, N failed".
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
# A run that stops before the tests still ends with its one summary line.
stop() {
    echo "$1" >&2
    echo "0 passed, 1 failed"
    exit 1
}
bash scripts/setup-packages.sh || stop "setting up the packages failed"
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

scripts/build.sh host || stop "the host build failed"
for tree in "${trees[@]}"; do scripts/build.sh "$tree" || stop "the $tree build failed"; done
# The release archive, unpacked where its end-to-end test finds it.
archive=$(set -o pipefail; scripts/dist.sh | tail -1) || stop "making the release archive failed"
export BRENNIK_DIST_DIR=$root/build/dist-check
rm -rf "$BRENNIK_DIST_DIR"
unzip -q "$archive" -d "$BRENNIK_DIST_DIR" || stop "unpacking the release archive failed"

GTEST_OUTPUT=xml:$results/host/ ctest --test-dir build/host --output-junit "$results/host/ctest.xml" \
    --output-on-failure -Q
# Each fuzz target over its seed corpus: a crash once found stays fixed.
mkdir -p "$results/fuzz"
scripts/build.sh fuzz || stop "the fuzz build failed"
ctest --test-dir build/fuzz --output-junit "$results/fuzz/ctest.xml" --output-on-failure -Q

cleanup() {
    for tree in "${trees[@]}"; do
        (. scripts/wine-env.sh "$tree"; wineserver -k 2>/dev/null; release_prefix)
    done
    stop_xvfb
}
trap cleanup EXIT
for tree in "${trees[@]}"; do (. scripts/wine-env.sh "$tree"; claim_prefix); done
start_xvfb || stop "no X server could be started"

for tree in "${trees[@]}"; do
    mkdir -p "$results/$tree"
    (
        . scripts/wine-env.sh "$tree"
        ensure_prefix || {
            # Counted as a failure: a tree whose tests could not run passed nothing.
            echo '<testsuite><testcase name="wine.prefix" status="fail"/></testsuite>' >"$results/$tree/ctest.xml"
            exit 1
        }
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
for shot in main-window context-menu after-copy my-computer after-drop copy-under-way unspellable-copy; do
    [ -f build/e2e/$shot-win64.png ] && cp build/e2e/$shot-win64.png build/e2e/$shot.png
done
ls build/e2e/*.png 2>/dev/null | sed 's/^/screenshot: /'

python3 scripts/tally.py "$results"
