#!/usr/bin/env bash
# Builds the Debian package from a build tree into OUT_DIR, once for all the
# tests that look at it.
# Usage: build_package.sh CPACK BUILD_DIR OUT_DIR
set -euo pipefail
cpack=$1 build=$2 out=$3
rm -rf "$out"
mkdir -p "$out"
if ! "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1; then
    cat "$out/cpack.log"
    exit 1
fi
debs=("$out"/qmteval_*_*.deb)
[[ ${#debs[@]} -eq 1 && -f ${debs[0]} ]] || { echo "no single qmteval_*.deb in $out"; exit 1; }
