#!/usr/bin/env bash
# Loads vantrel-cli's bash completion as bash-completion does, and checks what
# it offers: every option for "-", then folders and .iso images for every
# operand, as each after the first may be another SOURCE as well as DEST or
# DIRECTORY (readline adds the slash to folders' names).
#   tests/cli/check-bash-completion.sh COMPLETION-SCRIPT
# Exits 77 (skipped) when bash-completion is not installed.
set -uo pipefail
script=$(realpath "$1")
framework=/usr/share/bash-completion/bash_completion
[[ -r $framework ]] || { echo "bash-completion is not installed" >&2; exit 77; }
# shellcheck disable=SC1090
source "$framework"
source "$script"
failures=0

offered() {  # the words of a command line, the last one being completed
    COMP_WORDS=("$@")
    COMP_CWORD=$(($# - 1))
    COMP_LINE="$*"
    COMP_POINT=${#COMP_LINE}
    COMPREPLY=()
    _vantrel_cli vantrel-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    ((${#COMPREPLY[@]} == 0)) || printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' '
}

expect() {  # what offered must be
    local what=$1 got=$2 want=$3
    if [[ $got != "$want" ]]; then
        echo "FAILED: $what: offered '$got', expected '$want'"
        failures=$((failures + 1))
    else
        echo "ok: $what"
    fi
}

[[ $(complete -p vantrel-cli) == *"-F _vantrel_cli"* ]] || { echo "FAILED: not registered"; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
mkdir DVD out
touch film.iso OLD.ISO notes.txt

expect "options" "$(offered vantrel-cli -)" \
    "-- --alert --dry-run --help --json --parents --quiet --skip-complete --sparse --verify --version -S -V -a -h -n -p -q "
expect "long options" "$(offered vantrel-cli --v)" "--verify --version "
expect "SOURCE: folders and images" "$(offered vantrel-cli --quiet '')" \
    "DVD OLD.ISO film.iso out "
expect "another SOURCE or DEST" "$(offered vantrel-cli -n film.iso '')" "DVD OLD.ISO film.iso out "
expect "a shelf's DIRECTORY" "$(offered vantrel-cli DVD film.iso '')" "DVD OLD.ISO film.iso out "
expect "new options" "$(offered vantrel-cli --s)" "--skip-complete --sparse "
expect "operands after --" "$(offered vantrel-cli -- -x '')" "DVD OLD.ISO film.iso out "
expect "nothing after --help" "$(offered vantrel-cli --help '')" ""

echo "$((8 - failures)) passed, $failures failed"
[[ $failures -eq 0 ]]
