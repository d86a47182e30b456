#!/usr/bin/env bash
# Builds both architectures in release mode and writes the release archive
# dist/Brennik-<version>.zip: the 32-bit program at the top, the 64-bit one in
# x64\, the sample Brenn.dat beside each, and README.txt in Shift-JIS.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup-packages.sh
version=$(sed -n 's/^#define BRENNIK_VERSION "\(.*\)"$/\1/p' app/version.h)
[ -n "$version" ] || { echo "no version in app/version.h" >&2; exit 1; }
scripts/build.sh win32
scripts/build.sh win64
stage=$root/build/dist/Brennik-$version
rm -rf "$stage"
mkdir -p "$stage/x64" dist
cp build/win32/Brennik.exe data/Brenn.dat "$stage/"
cp build/win64/Brennik.exe data/Brenn.dat "$stage/x64/"
sed "s/@VERSION@/$version/" data/README.txt | sed 's/$/\r/' | iconv -f UTF-8 -t CP932 >"$stage/README.txt"
archive=$root/dist/Brennik-$version.zip
rm -f "$archive"
(cd "$stage" && zip -q -X -r "$archive" Brennik.exe Brenn.dat README.txt x64)
echo "$archive"
