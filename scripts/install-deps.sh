#!/usr/bin/env bash
# Installs the Debian packages that building, testing, running and packaging
# need (scdoc makes the manual pages, dpkg-dev the package's dependencies;
# lintian, desktop-file-utils and appstream check the package; libudfread reads
# disc images; nlohmann-json3-dev writes vantrel-cli's JSON document, a header
# the Windows build takes too; bash-completion says where completion scripts
# go; ffmpeg and dvdauthor author a real DVD for the tests, genisoimage makes
# an image of it, and libdvdread reads it as the reference for the IFO
# reader and as DVD tools read a sparse copy; exfatprogs and exfat-fuse make
# an exFAT destination, where holes take space); does nothing when all of them are present. `install-deps.sh
# windows` installs what the Windows build and its tests under Wine need
# instead: the mingw-w64 cross compiler, Wine, rsvg-convert and icotool for
# the program's icon, ffmpeg and dvdauthor for the authored DVD, Xvfb, openbox
# and xdotool for the window's test on an X server of its own, zip, wixl and
# msitools for the portable zip and the installer (faketime gives the
# installer a fixed date), unzip for their test. `install-deps.sh
# screenshots` installs what `make screenshots` needs beside those: Xvfb,
# openbox and xdotool, xprop and xwininfo (x11-utils) for a window and its
# frame, xwd (x11-apps) and netpbm to take the screen and cut it into PNG
# files.
set -euo pipefail

if [[ ${1:-} == screenshots ]]; then
    packages=(xvfb openbox xdotool x11-utils x11-apps netpbm)
elif [[ ${1:-} == windows ]]; then
    packages=(
        g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev googletest
        wine wine64 bsdutils
        librsvg2-bin icoutils
        ffmpeg dvdauthor
        xvfb openbox xdotool
        zip unzip wixl msitools faketime
    )
else
    packages=(
        cmake ninja-build g++ make pkg-config
        googletest libgtest-dev libgmock-dev
        qt6-base-dev libgl-dev
        locales  # the locale sources the clock's test compiles with localedef
        e2fsprogs  # mkfs.ext4 and chattr for a destination that ignores letter case
        exfatprogs exfat-fuse  # an exFAT destination, which gives holes space
        clang libclang-rt-14-dev
        scdoc dpkg-dev
        lintian desktop-file-utils appstream
        libudfread-dev nlohmann-json3-dev bash-completion
        ffmpeg dvdauthor genisoimage libdvdread-dev
    )
fi

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
