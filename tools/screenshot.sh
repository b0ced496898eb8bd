#!/usr/bin/env bash
# Makes docs/screenshot.png without a display: the main window against the simulated unit, drawn
# by Qt's offscreen platform once the unit has been read back.
#     tools/screenshot.sh [OUTPUT.png] [english]
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-docs/screenshot.png}")
scripts/build.sh build -DTARN_TESTS=OFF -DTARN_BENCH=OFF >/dev/null
cmake --build build --target tarn80x-screenshot >/dev/null
# A settings folder of its own, so the user's language and window position do not show; 96 DPI
# as on a desktop at 100 % (the offscreen platform says 100, which would scale the window).
XDG_CONFIG_HOME=$(mktemp -d) QT_QPA_PLATFORM=offscreen QT_FONT_DPI=96 \
    build/tarn80x-screenshot "$out" "${2:-}"
echo "wrote $out"
