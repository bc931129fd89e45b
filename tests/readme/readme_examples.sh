#!/usr/bin/env bash
# Runs every ```console block of the README as a user who pastes it would, and
# checks that each command prints what the README shows under it. A block's
# lines "$ COMMAND" are run in order in one shell (so exports and files carry
# over), in a scratch folder laid out like the source tree: board/examples is
# a copy, build/release/bin holds the built programs. Standard error counts
# as output, as in a terminal. An expected line "..." stands for any lines.
# Usage: readme_examples.sh README SOURCE_DIR BIN_DIR
set -uo pipefail
readme=$1 source_dir=$2 bin_dir=$3
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/build/release" "$scratch/board"
ln -s "$bin_dir" "$scratch/build/release/bin"
cp -r "$source_dir/board/examples" "$scratch/board/examples"

# Splits the README's console blocks into numbered commands and their output.
commands=() expected=()
in_block=0
while IFS= read -r line; do
    if [[ $in_block == 0 && $line == '```console' ]]; then
        in_block=1
    elif [[ $in_block == 1 && $line == '```' ]]; then
        in_block=0
    elif [[ $in_block == 1 && $line == '$ '* ]]; then
        commands+=("${line#'$ '}")
        expected+=("")
    elif [[ $in_block == 1 && ${#commands[@]} -gt 0 ]]; then
        last=$((${#commands[@]} - 1))
        expected[$last]+="$line"$'\n'
    fi
done <"$readme"
if [[ ${#commands[@]} == 0 ]]; then
    echo "no console block in $readme"
    exit 1
fi

# One shell runs them all; a marker line before each command's output.
marker='@@readme-example@@'
script=$scratch/examples.sh
{
    echo 'cd "$1"'
    for command in "${commands[@]}"; do
        echo "echo '$marker'"
        echo "$command 2>&1"
    done
} >"$script"
actual=$(env -u TARNLINK_BOARD -u TARNLINK_TRACE bash "$script" "$scratch" 2>&1 </dev/null)

# Compares one command's output with the README's, "..." matching any lines.
matches() {
    local want=$1 got=$2
    if [[ $want != *$'...\n'* ]]; then
        [[ $got == "$want" ]]
        return
    fi
    local head=${want%%$'...\n'*} tail=${want#*$'...\n'}
    [[ $got == "$head"* && $got == *"$tail" && ${#got} -ge $((${#head} + ${#tail})) ]]
}

status=0
index=-1
output=""
flush() {
    if ((index >= 0)) && ! matches "${expected[$index]}" "$output"; then
        echo "README example: \$ ${commands[$index]}"
        echo "--- README shows:"
        printf '%s' "${expected[$index]}"
        echo "--- it printed:"
        printf '%s' "$output"
        status=1
    fi
}
while IFS= read -r line; do
    if [[ $line == "$marker" ]]; then
        flush
        index=$((index + 1))
        output=""
    else
        output+="$line"$'\n'
    fi
done <<<"$actual"
flush
if ((index + 1 != ${#commands[@]})); then
    echo "ran $((index + 1)) of ${#commands[@]} README examples"
    status=1
fi
echo "${#commands[@]} README examples checked"
exit $status
