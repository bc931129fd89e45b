#!/usr/bin/env bash
# The bash completion against the built qmtctl, whose --help it reads.
# Usage: completion_test.sh QMTCTL COMPLETION_FILE
set -uo pipefail
qmtctl=$1
source "$2"
status=0
expect() {
    local want=$1
    shift
    COMP_WORDS=("$qmtctl" "$@")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _qmtctl
    if [[ "${COMPREPLY[*]}" != "$want" ]]; then
        echo "qmtctl $* <TAB>: got '${COMPREPLY[*]}', want '$want'"
        status=1
    fi
}
expect "detect read write dump temps save recall log diff export help" ""
expect "diff" di
expect "--format" export --form
expect "temps" --json te
expect "detect dump diff" --address 4Ch d
expect "--json" read 3 --js
expect "--bridge --board --bus" --b
expect "tarnlink tarnlink:" --bridge tarn
expect "temps" help t
expect "" read ""
exit $status
