#!/usr/bin/env bash
# Installs, with apt, whatever the build and the tests need and is not installed yet; through
# sudo unless already root.
set -euo pipefail
packages=(build-essential cmake pkg-config qt6-base-dev qt6-base-dev-tools qt6-tools-dev-tools libgl-dev
          libhidapi-dev libudev-dev libfftw3-dev libpulse-dev pulseaudio pulseaudio-utils ccache fonts-wqy-microhei qt6-translations-l10n desktop-file-utils appstream lld
          "$@")
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    echo "installing: ${missing[*]}"
    SUDO=""
    if [ "$(id -u)" -ne 0 ]; then
        if ! command -v sudo >/dev/null; then
            echo "installing needs root: run this once as root, or install sudo" >&2
            exit 1
        fi
        SUDO=sudo
    fi
    $SUDO apt-get update -q
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q "${missing[@]}"
fi
