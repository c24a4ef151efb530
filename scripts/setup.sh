#!/usr/bin/env bash
# Installs the Debian packages Kotonami needs (only those missing) and builds it.
# Usage: scripts/setup.sh [--no-build]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

packages=(
    g++ cmake ninja-build pkg-config clang-format
    qt6-base-dev qt6-multimedia-dev libgl-dev
    libicu-dev libharfbuzz-dev liblnk-dev libbfio-dev
    libespeak-ng-dev espeak-ng-data espeak-ng libmecab-dev mecab-ipadic-utf8 libasound2-dev
    fonts-ipafont-mincho fonts-ipafont-gothic fonts-liberation2
    libgtest-dev libgmock-dev libbenchmark-dev
    libxcb1-dev libxcb-keysyms1-dev
    clang libclang-rt-14-dev
    pulseaudio pulseaudio-utils
    ibus ibus-anthy python3-gi gir1.2-ibus-1.0 dbus-x11 dconf-gsettings-backend dconf-service
    xvfb xauth x11-apps x11-utils xdotool xclip imagemagick poppler-utils chromium
    appstream desktop-file-utils dpkg-dev file
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
if ((${#missing[@]})); then
    echo "setup: installing ${missing[*]}"
    sudo_cmd=()
    if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

if [ "${1:-}" != "--no-build" ]; then
    build="${KOTONAMI_BUILD_DIR:-$here/build}"
    if [ ! -f "$build/build.ninja" ]; then
        cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
    fi
    cmake --build "$build" -j "$(nproc)"
fi
