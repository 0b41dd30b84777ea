#!/usr/bin/env bash
# Installs the Debian packages that building, testing, running and packaging
# need (scdoc makes the manual pages, dpkg-dev the package's dependencies;
# lintian, desktop-file-utils and appstream check the package); does nothing
# when all of them are present.
set -euo pipefail

packages=(
    cmake ninja-build g++ make pkg-config
    googletest libgtest-dev libgmock-dev
    qt6-base-dev libgl-dev
    locales  # the locale sources the clock's test compiles with localedef
    clang libclang-rt-14-dev
    scdoc dpkg-dev
    lintian desktop-file-utils appstream
)

missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
