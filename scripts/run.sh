#!/usr/bin/env bash
# Builds the program and starts it under Wine: the 32-bit build where this
# machine runs it, otherwise the 64-bit one. Without $DISPLAY it runs on a
# private X server and saves a screenshot.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup-packages.sh
. scripts/arch.sh
. scripts/xvfb.sh
if can_run_32bit; then tree=win32; else tree=win64; fi
echo "Starting the $tree build (Brennik.exe for $([ $tree = win32 ] && echo 32 || echo 64)-bit Windows)"
scripts/build.sh "$tree"
. scripts/wine-env.sh "$tree"
claim_prefix
ensure_prefix

# The program reads "Brenn.dat" from the folder it starts in.
work=$root/build/$tree/run
mkdir -p "$work"
cp data/Brenn.dat "$work/Brenn.dat"
cd "$work"

if [ -n "${DISPLAY:-}" ]; then
    exec "$WINE" "$root/build/$tree/Brennik.exe"
fi

start_xvfb
trap 'wineserver -k 2>/dev/null; stop_xvfb; release_prefix' EXIT
"$WINE" "$root/build/$tree/Brennik.exe" &
for i in $(seq 1 100); do
    xdotool search --name "Brennik by Ostrand Kelvo" >/dev/null 2>&1 && break
    sleep 0.2
done
sleep 2
shot=$root/build/run-$tree.png
import -window root "$shot"
echo "No \$DISPLAY: the program ran on a private X server ($DISPLAY); screenshot saved as $shot"
echo "Stopping it again (set DISPLAY to use it)."
