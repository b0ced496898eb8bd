#!/usr/bin/env bash
# command_line.sh TARN80X TARN80X_DEMO: the command line of the shipped program and of the demo,
# and what happens without a display.
set -uo pipefail
app=$1
demo=$2
fail=0
expect() { # expect DESCRIPTION EXPECTED_STATUS EXPECTED_TEXT_PATTERN COMMAND...
    local what=$1 status=$2 pattern=$3
    shift 3
    local out rc
    out=$("$@" 2>&1)
    rc=$?
    if [ "$rc" -ne "$status" ] || ! grep -qE -- "$pattern" <<<"$out"; then
        echo "FAIL: $what: status $rc (expected $status), output:"
        echo "$out"
        fail=1
    fi
}
expect "version" 0 "^tarn80x 1\.0\.0$" "$app" --version
expect "help" 0 "--version" "$app" --help
expect "no --demo in the shipped program" 2 "Unknown option 'demo'" "$app" --demo
expect "--demo in the demo" 0 "--demo <state>" "$demo" --help
expect "unknown argument" 2 "unexpected argument: extra" "$app" extra
expect "no display" 1 "no display found" env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$app"
expect "no display, demo" 1 "找不到显示器" env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$demo"
exit $fail
