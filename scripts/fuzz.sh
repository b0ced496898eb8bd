#!/usr/bin/env bash
# fuzz.sh [SECONDS]: builds every fuzz target with clang's libFuzzer under ASan and UBSan (the
#   first report of either stops the run), replays the kept crash inputs of each target
#   (tests/fuzz/regressions/<target>/), then runs each target for SECONDS (default 6) from its
#   seeds (tests/fuzz/seeds/<target>/) and a working corpus in build-fuzz/.
# fuzz.sh long: the same by run count: 10^7 runs of the frame scanner, 10^5 of the tune text
#   reader (a whole text is some 38 KB), 10^6 of each other target.
# A crash input is written to build-fuzz/crash-<target>-*; once the fault is mended, keep it in
# tests/fuzz/regressions/<target>/ so that every later run replays it.
set -euo pipefail
cd "$(dirname "$0")/.."
mode=${1:-6}
out=build-fuzz
mkdir -p "$out"
flags="-std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -I."

build() { # build TARGET SOURCES...: rebuilt only when a source or header it may use changed
    local name=$1 bin="$out/fuzz_$1"
    shift
    if [ -x "$bin" ] && [ -z "$(find tests/fuzz/fuzz_"$name".cpp "$@" model link dsp graph tuning \
        session scripts/fuzz.sh -newer "$bin" -print -quit)" ]; then
        return
    fi
    clang++ $flags ${extra:-} tests/fuzz/fuzz_"$name".cpp "$@" -o "$bin" ${extra:-}
}

run() { # run TARGET MAX_LEN RUNS_WHEN_LONG
    local name=$1 maxlen=$2 bin="$out/fuzz_$1" log="$out/run_$1.log"
    local regressions=tests/fuzz/regressions/$name limit
    mkdir -p "$out/corpus_$name"
    if [ -d "$regressions" ] && [ -n "$(ls -A "$regressions")" ]; then
        if ! "$bin" "$regressions"/* >"$log" 2>&1; then
            tail -n 40 "$log"
            echo "fuzz: $name: a kept regression input fails again" >&2
            exit 1
        fi
        echo "fuzz: $name: $(ls "$regressions" | wc -l) regression inputs replayed"
    fi
    if [ "$mode" = long ]; then limit="-runs=$3"; else limit="-max_total_time=$mode"; fi
    local start=$SECONDS
    if ! "$bin" "$limit" -max_len="$maxlen" -artifact_prefix="$out/crash-$name-" \
        -print_final_stats=1 "$out/corpus_$name" tests/fuzz/seeds/"$name" >"$log" 2>&1; then
        tail -n 40 "$log"
        echo "fuzz: $name: fault found; the input is in $out/crash-$name-*" >&2
        exit 1
    fi
    local runs
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "fuzz: $name: $runs runs in $((SECONDS - start)) s without a fault" \
        "($(grep -o 'cov: [0-9]*' "$log" | tail -n 1))"
}

build parse_frame link/frame.cpp
build scene_file model/scene_image.cpp model/param_image.cpp
build all_file model/scene_image.cpp model/param_image.cpp
build firmware_file session/firmware_image.cpp
# The tuning workflow's text loaders use Qt Core, and the grid's label font Qt Gui (position-
# independent code for their headers).
extra="$(pkg-config --cflags --libs Qt6Core Qt6Gui) -fPIC" build tuning_files dsp/measurement.cpp \
    dsp/decimal.cpp dsp/response.cpp dsp/response_curves.cpp dsp/readout_text.cpp \
    model/param_image.cpp session/text.cpp session/filter_file.cpp
build transfer_answer link/frame.cpp link/transfer_job.cpp
extra="$(pkg-config --cflags --libs Qt6Core) -fPIC" build tune_text session/tune_text.cpp session/text.cpp \
    session/tune_words.cpp model/scene_image.cpp model/param_image.cpp

run parse_frame 4096 10000000
run scene_file 4200 1000000
run all_file 36865 1000000
run firmware_file 4096 1000000
run tuning_files 16384 1000000
run transfer_answer 400 1000000
run tune_text 65536 100000
