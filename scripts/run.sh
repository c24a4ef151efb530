#!/usr/bin/env bash
# Installs what building and running the editor needs, builds the two programs if needed,
# then starts the editor; arguments pass through.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$here/scripts/setup.sh" --run >&2
exec "${KOTONAMI_BUILD_DIR:-$here/build}/src/app/kotonami" "$@"
