#!/usr/bin/env bash
# Opens the window, or says in one line why it cannot.
set -euo pipefail
program=${1:-build/bin/vantrel}
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    echo "vantrel: no display to open the window on (DISPLAY is not set); build/bin/vantrel-cli works without one" >&2
    exit 1
fi
exec "$program"
