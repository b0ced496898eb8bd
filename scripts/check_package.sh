#!/usr/bin/env bash
# check_package.sh BUILD_DIR: builds the Debian package from a built tree and checks what it
# ships: the file list, the control data, the udev rule, and the desktop entry and AppStream
# metainfo through their validators. Non-zero on any fault.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "$1")
version=$(sed -n 's/^project(tarn80x VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
(cd "$build" && cpack -G DEB >/dev/null)
deb="$build/tarn80x_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || { echo "no package $deb"; exit 1; }

fail=0
check() { # check MESSAGE COMMAND...: reports and remembers a failed check
    local message=$1
    shift
    if ! "$@"; then
        echo "package: $message"
        fail=1
    fi
}

contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for f in ./usr/bin/tarn80x ./usr/bin/tarn80x-cli ./usr/lib/udev/rules.d/70-tarn80x.rules \
         ./usr/share/applications/org.tarn80x.tarn80x.desktop \
         ./usr/share/metainfo/org.tarn80x.tarn80x.metainfo.xml \
         ./usr/share/icons/hicolor/scalable/apps/tarn80x.svg \
         ./usr/share/icons/hicolor/48x48/apps/tarn80x.png \
         ./usr/share/icons/hicolor/256x256/apps/tarn80x.png \
         ./usr/share/doc/tarn80x/copyright; do
    check "missing $f" grep -qxF "$f" <<<"$contents"
done
check "ships the demo or a test" bash -c '! grep -qE "demo|test|bench" <<<"$0"' "$contents"
check "version is not $version" grep -qx "$version" <<<"$(dpkg-deb -f "$deb" Version)"
check "no hidapi dependency" grep -q libhidapi-hidraw0 <<<"$(dpkg-deb -f "$deb" Depends)"
check "no postinst" bash -c 'dpkg-deb --ctrl-tarfile "$0" | tar -t | grep -qx "./postinst"' "$deb"

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
dpkg-deb -x "$deb" "$tmp"
# The command line runs where there is no display: QtCore only.
check "tarn80x-cli needs more than QtCore" bash -c \
    '! readelf -d "$0" | grep -qE "libQt6(Gui|Widgets)"' "$tmp/usr/bin/tarn80x-cli"
check "tarn80x-cli --version" grep -qx "tarn80x-cli $version" <<<"$("$tmp/usr/bin/tarn80x-cli" --version)"
rule="$tmp/usr/lib/udev/rules.d/70-tarn80x.rules"
check "udev rule does not match the unit" grep -q \
    'SUBSYSTEM=="hidraw", ATTRS{idVendor}=="1a86", ATTRS{idProduct}=="e010", TAG+="uaccess"' "$rule"
check "udev rule sets a mode" bash -c '! grep -q "MODE" "$0"' "$rule"
check "desktop entry" desktop-file-validate "$tmp/usr/share/applications/org.tarn80x.tarn80x.desktop"
check "metainfo" appstreamcli validate --no-net --pedantic \
    "$tmp/usr/share/metainfo/org.tarn80x.tarn80x.metainfo.xml"
check "metainfo lacks the modalias" grep -q '<modalias>usb:v1A86pE010\*</modalias>' \
    "$tmp/usr/share/metainfo/org.tarn80x.tarn80x.metainfo.xml"
[ "$fail" -eq 0 ] && echo "package: $(basename "$deb") checked"
exit "$fail"
