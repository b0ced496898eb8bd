#!/usr/bin/env bash
# build.sh DIR [cmake options...]: configures DIR once and builds it.
set -euo pipefail
cd "$(dirname "$0")/.."
# Compiler-cache hits across checkouts of the tree in other folders.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
# The tests' precompiled header is cached too (ccache needs these to trust it).
export CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
dir=$1
shift
# Options given to a configured tree are applied too (a later -DTARN_BENCH=ON builds the benchmarks).
if [ ! -f "$dir/CMakeCache.txt" ] || (($#)); then
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
fi
cmake --build "$dir" -j "$(nproc)"
