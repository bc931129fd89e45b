#!/usr/bin/env bash
# Installs what is missing, builds the dev preset (sanitizers on) and runs
# every test through CTest; then builds the optimised preset with its tests
# and runs them once more, since the optimiser finds warnings (and faults)
# the debug build does not. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
scripts/install-deps.sh
cmake --preset dev >/dev/null
cmake --build --preset dev
ctest --preset dev -j"$(nproc)" "$@"
cmake --preset release-check >/dev/null
cmake --build --preset release-check
ctest --preset release-check -j"$(nproc)" "$@"
