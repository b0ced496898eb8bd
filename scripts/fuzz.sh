#!/usr/bin/env bash
# fuzz.sh SECONDS: builds every fuzz target with clang's libFuzzer and runs each for SECONDS.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
out=build-fuzz
mkdir -p "$out"
flags="-std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -I."
clang++ $flags tests/fuzz/fuzz_parse_frame.cpp link/frame.cpp -o "$out/fuzz_parse_frame"
mkdir -p "$out/corpus_parse_frame"
"$out/fuzz_parse_frame" -max_total_time="$seconds" -print_final_stats=0 "$out/corpus_parse_frame" \
    tests/fuzz/seeds_parse_frame 2>&1 | tail -n 3
echo "fuzz: parse_frame ran ${seconds}s without a fault"

# The tuning workflow's text loaders need Qt Core (position-independent code for its headers).
qt="$(pkg-config --cflags --libs Qt5Core) -fPIC"
clang++ $flags $qt tests/fuzz/fuzz_tuning_files.cpp graph/measurement.cpp graph/response.cpp \
    graph/curve_cache.cpp graph/grid.cpp model/param_image.cpp tuning/filter_file.cpp \
    -o "$out/fuzz_tuning_files" $qt
mkdir -p "$out/corpus_tuning_files"
"$out/fuzz_tuning_files" -max_total_time="$seconds" -print_final_stats=0 \
    "$out/corpus_tuning_files" tests/fuzz/seeds_tuning_files 2>&1 | tail -n 3
echo "fuzz: tuning_files ran ${seconds}s without a fault"
