#!/usr/bin/env bash
# The bash completion and the manual page against the built qmtctl: both
# must offer every command and option of its help.
# Usage: completion_test.sh QMTCTL COMPLETION_FILE MANUAL_PAGE_GZ
set -uo pipefail
qmtctl=$1
source "$2"
manual=$3
status=0
expect() {
    local want=$1 got
    shift
    COMP_WORDS=("$qmtctl" "$@")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _qmtctl
    got=$(printf '%s\n' "${COMPREPLY[@]}" | sort | xargs)
    if [[ "$got" != "$want" ]]; then
        echo "qmtctl $* <TAB>: got '$got', want '$want'"
        status=1
    fi
}
COMP_WORDS=("$qmtctl")
commands=$(_qmtctl_help_words commands | xargs)
options=$(_qmtctl_help_words options | xargs)
[[ $commands == *"save recall log diff export batch check-alerts help"* ]] || { echo "commands: $commands"; status=1; }
expect "$(tr ' ' '\n' <<<"$commands" | sort | xargs)" ""
expect "$(tr ' ' '\n' <<<"$options" | grep -- '^--' | sort | xargs)" --

# Every command and option is in the manual page.
page=$(gzip -dc "$manual" | sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g')
for word in $commands $options; do
    grep -qw -- "$word" <<<"$page" || { echo "the manual page lacks $word"; status=1; }
done

# Files for the commands and options that take one; an option's value is
# never taken for the command.
cd "$(mktemp -d)" || exit 1
touch a.sav b.csv
expect "a.sav b.csv" recall ""
expect "a.sav b.csv" batch ""
expect "a.sav b.csv" save -- ""
expect "a.sav b.csv" --board ""
expect "a.sav b.csv" log x.csv --events ""
expect "a.sav b.csv" export --format i2cset --bus 2 ""
expect "" log x.csv --interval ""
expect "" --address ""
expect "" read 3 ""
expect "detect" --interval 5 det
expect "diff" di
expect "check-alerts" ch
expect "--format" export --form
expect "temps" --json te
expect "detect diff dump" --address 4Ch d
expect "--json" read 3 --js
expect "--board --bridge --bus" --b
expect "tarnlink tarnlink:" --bridge tarn
expect "temps" help t
expect "" read ""
exit $status
