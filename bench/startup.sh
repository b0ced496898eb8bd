#!/usr/bin/env bash
# startup.sh BUILD_DIR [RUNS]: start-up to the first exposed window and peak memory of the main
# window against a bare window of the same size with a line of Chinese and one of English, in the
# same run, alternating; prints the median of each and the ratios.
set -euo pipefail
bin="$1/bench/bench_startup"
runs=${2:-15}
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} XDG_CONFIG_HOME=$(mktemp -d)
declare -A ms mib
for kind in bare app; do ms[$kind]=""; mib[$kind]=""; done
for ((i = 0; i < runs; i++)); do
    for kind in bare app; do
        read -r t _ m _ < <("$bin" "$kind" "$(date +%s%N)" 2>/dev/null)
        ms[$kind]+="$t "; mib[$kind]+="$m "
    done
done
median() { tr ' ' '\n' | sed '/^$/d' | sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
for kind in bare app; do
    eval "${kind}_ms=$(echo "${ms[$kind]}" | median)"; eval "${kind}_mib=$(echo "${mib[$kind]}" | median)"
done
printf 'bare window: %s ms, %s MiB peak\n' "$bare_ms" "$bare_mib"
printf 'main window: %s ms, %s MiB peak\n' "$app_ms" "$app_mib"
awk -v a="$app_ms" -v b="$bare_ms" -v c="$app_mib" -v d="$bare_mib" \
    'BEGIN {printf "ratio: %.2fx time, %.2fx memory (median of '"$runs"' runs each, %s)\n", a/b, c/d, ENVIRON["QT_QPA_PLATFORM"]}'
