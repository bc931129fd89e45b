#!/usr/bin/env bash
# Checks that the Debian package holds the programs, the bridge library and
# its firmware, the links in /usr/bin, the desktop entry, icon, manual pages,
# completion, copyright and changelog, and the Python module with its type
# hints when it is built, nothing else; that it has no maintainer scripts, so
# that apt remove leaves nothing behind; and that it depends on the Qt
# runtime and libi2c (and on python3 and NumPy with the module).
# Usage: check_package.sh OUT_DIR [MODULE_FILE_NAME]
# (OUT_DIR: where build_package.sh put it; the module's file name if built)
set -euo pipefail
debs=("$1"/qmteval_*_*.deb) module=${2:-}

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
./usr/share/doc/qmteval/changelog.Debian.gz
./usr/share/doc/qmteval/copyright
./usr/share/man/man1/qmtctl.1.gz
./usr/share/man/man1/qmteval.1.gz
LIST
)
required=(libqt6core6 libqt6gui6 libqt6widgets6 qt6-qpa-plugins libi2c0)
if [[ -n $module ]]; then
    expected=$(sort <<<"$expected"$'\n'"./usr/lib/python3/dist-packages/$module"$'\n'"./usr/lib/python3/dist-packages/qmt.pyi")
    required+=(python3 python3-numpy)
fi
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
control=$(dpkg-deb --ctrl-tarfile "${debs[0]}" | tar -t | grep -v '/$' | sort | tr '\n' ' ')
if [[ $control != "./control ./md5sums " ]]; then
    echo "control archive holds more than control and md5sums: $control"
    status=1
fi
depends=$(dpkg-deb -f "${debs[0]}" Depends)
for package in "${required[@]}"; do
    if [[ ! $depends =~ (^|, )$package( |,|$) ]]; then
        echo "Depends lacks $package: $depends"
        status=1
    fi
done
exit $status
