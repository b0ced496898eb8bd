#!/usr/bin/env bash
# build.sh DIR [cmake options...]: configures DIR once and builds it.
set -euo pipefail
cd "$(dirname "$0")/.."
# Compiler-cache hits across checkouts of the tree in other folders.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
dir=$1
shift
if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
fi
cmake --build "$dir" -j "$(nproc)"
