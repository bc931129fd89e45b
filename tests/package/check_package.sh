#!/usr/bin/env bash
# Builds the Debian package from a build tree and checks that it holds the
# programs, the bridge library and its firmware, the links in /usr/bin, the
# desktop entry, icon, manual page and completion, nothing else, and that it
# depends on the Qt runtime and libi2c.
# Usage: check_package.sh CPACK BUILD_DIR OUT_DIR
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

# Paths (with link targets) of everything but folders.
contents=$(dpkg-deb -c "${debs[0]}")
listing=$(grep -v '^d' <<<"$contents" | sed -E 's/^([^ ]+ +){5}//' | sort)
expected=$(sort <<'LIST'
./usr/bin/qmtctl -> ../lib/qmteval/qmtctl
./usr/bin/qmteval -> ../lib/qmteval/qmteval
./usr/lib/qmteval/HLX3300FW.Hex
./usr/lib/qmteval/libTarnlink.so
./usr/lib/qmteval/qmtctl
./usr/lib/qmteval/qmteval
./usr/share/applications/qmteval.desktop
./usr/share/bash-completion/completions/qmtctl
./usr/share/icons/hicolor/scalable/apps/qmteval.svg
./usr/share/man/man1/qmtctl.1.gz
LIST
)
status=0
if [[ $listing != "$expected" ]]; then
    echo "package files differ from the expected list:"
    diff <(echo "$expected") <(echo "$listing") || true
    status=1
fi
for program in qmtctl qmteval; do
    if ! grep -q "^-rwx.* ./usr/lib/qmteval/$program\$" <<<"$contents"; then
        echo "$program is not executable"
        status=1
    fi
done
depends=$(dpkg-deb -f "${debs[0]}" Depends)
for package in libqt6core6 libqt6gui6 libqt6widgets6 qt6-qpa-plugins libi2c0; do
    if [[ ! $depends =~ (^|, )$package( |,|$) ]]; then
        echo "Depends lacks $package: $depends"
        status=1
    fi
done
exit $status
