#!/usr/bin/env bash
# Installs what is needed, builds, and runs the wizard on the bundled sample store.
# Extra arguments go to pivotwizard (see `pivotwizard --help`).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/deps.sh"
"$top/scripts/build.sh"
build=${BUILD_DIR:-$top/build}
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  echo "No display found: running the wizard inside a virtual X server (xvfb-run)." >&2
  exec xvfb-run -a "$build/app/pivotwizard" "$@"
fi
exec "$build/app/pivotwizard" "$@"
