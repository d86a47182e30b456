#!/usr/bin/env bash
# Runs one built Wine test program on a private X server, for a quick look:
#   scripts/wine-test.sh win64 tree_ops_test --gtest_filter='Tree*'
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
tree=$1 program=$2
shift 2
. "$root/scripts/xvfb.sh"
. "$root/scripts/wine-env.sh" "$tree"
claim_prefix
ensure_prefix || { release_prefix; exit 1; }
make_test_drive
make_test_links
mount_full_volume
trap 'wineserver -k 2>/dev/null; stop_xvfb; unmount_full_volume; release_prefix' EXIT
start_xvfb || exit 1
cd "$root/build/$tree/testwork"
"$WINE" "../$program.exe" "$@" </dev/null 2>&1 | sed -u -e 's/\r$//' -e '/^[0-9a-f]*:fixme:/d'
