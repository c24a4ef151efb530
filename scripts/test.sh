#!/usr/bin/env bash
# Sets up, builds and runs every test suite. Needs no display: GUI suites use
# Qt's offscreen platform, the end-to-end suite starts its own Xvfb.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$here/scripts/setup.sh"
build="${KOTONAMI_BUILD_DIR:-$here/build}"
cd "$build"
ctest --output-on-failure -j "$(nproc)" "$@"
