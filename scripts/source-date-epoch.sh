#!/usr/bin/env bash
# Prints the time that packages and archives stamp their files with, so that
# the same commit always gives byte-identical ones: SOURCE_DATE_EPOCH when it
# is set, else the last commit's date, else (outside a git checkout) noon of
# the release day that CMakeLists.txt names.
set -euo pipefail
[[ -n ${SOURCE_DATE_EPOCH:-} ]] && { echo "$SOURCE_DATE_EPOCH"; exit 0; }
cd "$(dirname "$0")/.."
git log -1 --format=%ct 2>/dev/null && exit 0
day=$(sed -n 's/^set(VANTREL_RELEASE_DATE \([0-9-]*\))$/\1/p' CMakeLists.txt)
date -u -d "$day 12:00" +%s
