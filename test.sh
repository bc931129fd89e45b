#!/usr/bin/env bash
# Installs what is missing, builds the dev preset (sanitizers on) and runs
# every test through CTest; then builds the optimised preset with its tests
# and runs them once more, since the optimiser finds warnings (and faults)
# the debug build does not. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
scripts/install-deps.sh
# Most test time is the programs under test waiting (connection pauses,
# child processes), not computing, so more tests run at once than there are cores.
tests_at_once=$(( $(nproc) * 3 ))
cmake --preset dev >/dev/null
cmake --build --preset dev
ctest --preset dev -j"$tests_at_once" "$@"
cmake --preset release-check >/dev/null
cmake --build --preset release-check
ctest --preset release-check -j"$tests_at_once" "$@"
