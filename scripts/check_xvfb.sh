#!/usr/bin/env bash
# Two test drivers started at one moment must get X servers of their own:
# on a shared display their programs would share one clipboard.
. "$(dirname "$0")/xvfb.sh"
command -v Xvfb >/dev/null || { echo "Xvfb is not installed"; exit 1; }
out=$(mktemp -d)
for round in 1 2 3; do
    for side in a b; do
        (start_xvfb && echo "$DISPLAY" >"$out/$side" && sleep 1; stop_xvfb) &
    done
    wait
    a=$(cat "$out/a" 2>/dev/null) b=$(cat "$out/b" 2>/dev/null)
    if [ -z "$a" ] || [ -z "$b" ] || [ "$a" = "$b" ]; then
        echo "round $round: displays '$a' and '$b'"
        rm -rf "$out"
        exit 1
    fi
    rm -f "$out/a" "$out/b"
done
rm -rf "$out"
echo "each driver had a display of its own"
