#!/usr/bin/env bash
# Sets up and builds if needed, then starts the editor; arguments pass through.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$here/scripts/setup.sh" >&2
exec "${KOTONAMI_BUILD_DIR:-$here/build}/src/app/kotonami" "$@"
