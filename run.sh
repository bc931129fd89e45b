#!/usr/bin/env bash
# Installs what is missing, builds the release preset and starts the program
# on the emulated evaluation board. Extra arguments go to the program.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release
exe=build/release/bin/qmteval
if [[ ! -x $exe ]]; then
    echo "Built; the program qmteval is not part of this build yet."
    exit 0
fi
if [[ -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} ]]; then
    echo "No display found: set DISPLAY (or run under xvfb-run) to see the program." >&2
    exit 1
fi
exec "$exe" "$@"
