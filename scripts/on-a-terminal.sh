#!/usr/bin/env bash
# Runs a command with a terminal for its standard input, which a console
# program under Wine needs to get a console (and Ctrl-C), and passes on its
# output as plain text rather than as the console's redrawing:
#   scripts/on-a-terminal.sh COMMAND [ARGUMENT...]
set -euo pipefail
output=$(mktemp)
trap 'rm -f "$output"' EXIT
printf -v command '%q ' "$@"
status=0
script -qec "$command>$(printf %q "$output") 2>&1" /dev/null >/dev/null </dev/null || status=$?
cat "$output"
exit "$status"
