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
