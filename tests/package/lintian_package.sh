#!/usr/bin/env bash
# Runs lintian on the Debian package and fails on every error or warning that
# the overrides file does not list. The overrides file holds one "tag [context]"
# a line, as lintian prints it, each after a comment that gives the reason.
# Exits 77 (skipped) when lintian is not installed.
# Usage: lintian_package.sh OUT_DIR OVERRIDES
set -euo pipefail
debs=("$1"/qmteval_*_*.deb) overrides=$2
command -v lintian >/dev/null || { echo "lintian is not installed"; exit 77; }

status=0
previous=""
while IFS= read -r line; do
    if [[ -n $line && $line != \#* && $previous != \#* ]]; then
        echo "$overrides: no comment gives the reason for: $line"
        status=1
    fi
    previous=$line
done <"$overrides"
allowed=$(grep -v -e '^#' -e '^$' "$overrides" || true)

# lintian's own exit status counts overridden and informational tags too.
report=$(lintian "${debs[0]}" 2>/dev/null || true)
while IFS= read -r line; do
    [[ $line =~ ^[EW]:\ qmteval:\ (.*)$ ]] || continue
    if ! grep -qxF -- "${BASH_REMATCH[1]}" <<<"$allowed"; then
        echo "$line"
        status=1
    fi
done <<<"$report"
exit $status
