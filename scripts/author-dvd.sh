#!/usr/bin/env bash
# Authors a small real DVD-Video folder with ffmpeg and dvdauthor, once:
#   scripts/author-dvd.sh FOLDER [--title-set-menus]
# leaves FOLDER/VIDEO_TS with a menu (VIDEO_TS.VOB) and two title sets of a
# few seconds each (VTS_01_1.VOB, VTS_02_1.VOB), and does nothing when it is
# there already. With --title-set-menus the first title set has a menu of its
# own too (VTS_01_0.VOB).
# Exits 77 when ffmpeg or dvdauthor is missing.
set -euo pipefail
folder=$(realpath -m "$1")
titleSetMenus=${2:-}
[[ -z $titleSetMenus || $titleSetMenus == --title-set-menus ]] ||
    { echo "author-dvd: unknown option $titleSetMenus" >&2; exit 2; }
[[ -e $folder/VIDEO_TS/VIDEO_TS.IFO ]] && exit 0
for tool in ffmpeg dvdauthor; do
    if ! command -v "$tool" >/dev/null; then
        echo "author-dvd: $tool is missing (scripts/install-deps.sh windows installs it)" >&2
        exit 77
    fi
done

mkdir -p "$(dirname "$folder")"
exec 9>"$folder.lock"
flock 9
[[ -e $folder/VIDEO_TS/VIDEO_TS.IFO ]] && exit 0
work=$(mktemp -d "$folder.XXXXXX")
trap 'rm -rf "$work"' EXIT

# MPEG-2 program streams for PAL DVD: a test picture, grainy enough to need a
# DVD's bit rate, with a tone.
encode() {  # seconds output
    ffmpeg -nostdin -loglevel error -f lavfi -i "testsrc=size=720x576:rate=25:duration=$1" \
        -f lavfi -i "sine=frequency=440:sample_rate=48000:duration=$1" \
        -vf "noise=alls=12:allf=t" -target pal-dvd -y "$work/$2"
}
encode 1 menu.mpg
encode 8 title1.mpg
encode 3 title2.mpg
titleset() {  # titles [menu]
    local menus=
    [[ -n ${2:-} ]] && menus="<menus><video format=\"pal\"/><pgc entry=\"root\"><vob file=\"$work/$2\"/></pgc></menus>"
    echo "<titleset>$menus<titles><video format=\"pal\"/><pgc><vob file=\"$work/$1\"/></pgc></titles></titleset>"
}
cat >"$work/dvd.xml" <<XML
<dvdauthor>
  <vmgm><menus><video format="pal"/><pgc><vob file="$work/menu.mpg"/></pgc></menus></vmgm>
  $(titleset title1.mpg ${titleSetMenus:+menu.mpg})
  $(titleset title2.mpg)
</dvdauthor>
XML
dvdauthor -o "$work/dvd" -x "$work/dvd.xml" >"$work/dvdauthor.log" 2>&1 ||
    { cat "$work/dvdauthor.log" >&2; exit 1; }
rm -rf "$folder"
mv "$work/dvd" "$folder"
