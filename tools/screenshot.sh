#!/usr/bin/env bash
# Makes docs/screenshot.png without a display: the main window against the simulated unit, drawn
# by Qt's offscreen platform once the unit has been read back.
#     tools/screenshot.sh [OUTPUT.png] [english]
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-docs/screenshot.png}")
scripts/build.sh build -DTARN_TESTS=OFF -DTARN_BENCH=OFF >/dev/null
cmake --build build --target tarn80x-screenshot >/dev/null
# A settings folder of its own, so the user's language and window position do not show.
XDG_CONFIG_HOME=$(mktemp -d) QT_QPA_PLATFORM=offscreen build/tarn80x-screenshot "$out" "${2:-}"
echo "wrote $out"
