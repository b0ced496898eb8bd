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
expect "no display, help" 0 "--version" env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$app" --help
expect "no display, version" 0 "^tarn80x 1\.0\.0$" env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \
    "$app" --version
expect "no display, unknown option" 2 "Unknown option 'bogus'" \
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$app" --bogus

# QApplication's own options (what a session manager, a launcher or a user may pass) are taken
# before ours are read: with --version the program answers without opening a window.
while IFS='|' read -r what words; do
    read -ra options <<<"$words"
    expect "Qt option: $what" 0 "^tarn80x 1\.0\.0$" \
        env QT_QPA_PLATFORM=offscreen "$app" "${options[@]}" --version
done <<'END'
session restore|-session 1234_5678
platform, two dashes|--platform offscreen
platform|-platform offscreen
style with =|-style=fusion
style|-style fusion
style sheet|-stylesheet=x.qss
right to left|-reverse
X11 instance name|-name foo
X11 display|-display :0
window title|-qwindowtitle Tuning
all at once|-session 1234_5678 -name foo -reverse -style=fusion -stylesheet=x.qss
END
expect "help with Qt's options" 0 "--session <session>" \
    timeout 10 env QT_QPA_PLATFORM=offscreen "$app" --help-all
expect "unknown option among Qt's" 2 "Unknown option 'bogus'" \
    env QT_QPA_PLATFORM=offscreen "$app" -reverse -bogus
# The window really starts with them: still running when the time is up.
config=$(mktemp -d)
expect "demo runs with Qt options" 124 "" timeout 3 env QT_QPA_PLATFORM=offscreen \
    XDG_CONFIG_HOME="$config" "$demo" --demo absent -session 1234_5678 -name foo -reverse -style=fusion
# A run with a unit (read back, every view refreshed) prints no diagnostic line unless asked to.
out=$(timeout 4 env -u QT_LOGGING_RULES QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$config" \
    XDG_DATA_HOME="$config" "$demo" --demo tuned 2>&1)
if grep -qE '\[ [a-z_]+\.cpp : [0-9]+ : ' <<<"$out"; then
    echo "FAIL: diagnostic lines without QT_LOGGING_RULES:"
    head -5 <<<"$out"
    fail=1
fi
expect "diagnostic lines when asked for" 124 "^tarn\.diag: \[ channel_state\.cpp : " timeout 4 env \
    QT_LOGGING_RULES=tarn.diag.debug=true QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$config" \
    XDG_DATA_HOME="$config" "$demo" --demo tuned
rm -rf "$config"
exit $fail
