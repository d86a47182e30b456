#!/usr/bin/env bash
# Configures once and builds one tree: host, fuzz, win32 or win64.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
tree=$1
dir=$root/build/$tree
case $tree in
    host) args=(-DCMAKE_BUILD_TYPE=Debug) ;;
    fuzz) args=(-DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DBRENNIK_FUZZ=ON) ;;
    win32) args=(-DCMAKE_TOOLCHAIN_FILE=$root/cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release) ;;
    win64) args=(-DCMAKE_TOOLCHAIN_FILE=$root/cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=Release) ;;
    *) echo "unknown tree $tree" >&2; exit 2 ;;
esac
mkdir -p "$dir"
log=$dir/build.log
if { [ -f "$dir/CMakeCache.txt" ] || cmake -S "$root" -B "$dir" "${args[@]}"; } >"$log" 2>&1 &&
    cmake --build "$dir" -j2 >>"$log" 2>&1; then
    grep -E 'warning:' "$log" | sort -u | head -20 || true
else
    grep -E 'error|Error' "$log" | head -40
    echo "build of $tree failed; the whole log is $log" >&2
    exit 1
fi
