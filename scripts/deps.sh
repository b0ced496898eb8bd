#!/usr/bin/env bash
# Installs, with apt, whatever the build and the tests need and is not installed yet.
set -euo pipefail
packages=(build-essential cmake pkg-config qt6-base-dev qt6-base-dev-tools qt6-tools-dev-tools libgl-dev
          libhidapi-dev libudev-dev ccache fonts-wqy-microhei qt6-translations-l10n desktop-file-utils appstream
          "$@")
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    echo "installing: ${missing[*]}"
    SUDO=""
    [ "$(id -u)" -eq 0 ] || SUDO=sudo
    $SUDO apt-get update -q
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q "${missing[@]}"
fi
