#!/usr/bin/env bash
# Makes the pictures of docs/: both windows on an X server of their own
# (Xvfb, with openbox as window manager) at 96 dpi, each idle, during a job
# and with "Done" shown, and the Windows window's folder browser. The Qt
# window reads its settings from a scratch folder, the Win32 window (under
# Wine) from a prefix of its own; the source is a disc's root folder holding
# an authored DVD (scripts/author-dvd.sh) and a long VOB, whose scan lasts
# long enough to be caught at about 60 %.
#   scripts/make-screenshots.sh WORK PREFIX WINDOW EXE DVD OUT
# WORK: a scratch folder with a short path (the boxes show it); PREFIX: the
# Wine prefix (made on first use); WINDOW: the Qt vantrel; EXE: vantrel.exe;
# DVD: where the authored folder is kept; OUT: where the pictures go.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(realpath -m "$1") prefix=$(realpath -m "$2") window=$(realpath "$3") exe=$(realpath "$4")
dvd=$(realpath -m "$5") out=$(realpath -m "$6")

for tool in Xvfb openbox xdotool xprop xwininfo xwd xwdtopnm pnmcut pnmpaste pnmtopng; do
    command -v $tool >/dev/null ||
        { echo "make-screenshots: $tool is missing (scripts/install-deps.sh screenshots installs it)" >&2; exit 1; }
done
"$here/author-dvd.sh" "$dvd"
fail() { echo "make-screenshots: $*" >&2; exit 1; }

rm -rf "$work"
mkdir -p "$work" "$out"
# The disc's root folder: the authored VIDEO_TS and one more VOB of 8 GiB,
# holes but for one navigation pack (the authored disc's first) every 16 MiB.
discRoot() {  # FOLDER
    mkdir -p "$1"
    cp -r "$dvd/VIDEO_TS" "$1/"
    local vob=$1/VIDEO_TS/VTS_02_2.VOB
    dd if="$dvd/VIDEO_TS/VTS_01_1.VOB" of="$work/nav-pack" bs=2048 count=1 status=none
    truncate -s 8G "$vob"
    for ((pack = 0; pack < 512; ++pack)); do
        dd if="$work/nav-pack" of="$vob" bs=2048 seek=$((pack * 8192)) conv=notrunc status=none
    done
}
readonly longVobOutput=$((512 * 2048))

Xvfb -displayfd 3 -screen 0 1280x1024x24 -dpi 96 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids=($!)
stopWine() { if WINEPREFIX=$prefix wineserver -k 2>/dev/null; then WINEPREFIX=$prefix wineserver -w || true; fi; }
cleanup() {
    stopWine
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
}
trap cleanup EXIT
for _ in $(seq 100); do [[ -s $work/display ]] && break; sleep 0.1; done
[[ -s $work/display ]] || fail "Xvfb did not start"
DISPLAY=:$(cat "$work/display")
export DISPLAY
openbox --sm-disable >/dev/null 2>&1 &
pids+=("$!")

# The id of the first visible window whose name matches, once there is one.
waitForWindow() {
    for _ in $(seq 300); do
        local id
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1) || true
        [[ -n $id ]] && { echo "$id"; return; }
        sleep 0.2
    done
    fail "no window named '$1'"
}
# Where a window's client area lies on the screen: x y width height.
geometry() {  # WINDOW
    xwininfo -id "$1" | awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
                             /Width:/ {w = $NF} /Height:/ {h = $NF} END {print x, y, w, h}'
}
# The window with the frame openbox draws around it, as the screen shows it
# now, with the windows OVER it (a message box) pasted in: Xvfb's picture of
# the screen shows such a window's inside black, its own picture is right.
shoot() {  # WINDOW NAME [OVER...]
    sleep 0.5  # their last paint
    local x y width height left right top bottom
    read -r x y width height < <(geometry "$1")
    read -r left right top bottom < <(xprop -id "$1" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
    x=$((x - left)) y=$((y - top))
    xwd -root -silent | xwdtopnm 2>/dev/null |
        pnmcut -left $x -top $y -width $((width + left + right)) -height $((height + top + bottom)) \
            >"$work/shot.ppm"
    local over overX overY
    for over in "${@:3}"; do
        read -r overX overY _ < <(geometry "$over")
        xwd -id "$over" -silent | xwdtopnm 2>/dev/null >"$work/over.ppm"
        pnmpaste "$work/over.ppm" $((overX - x)) $((overY - y)) "$work/shot.ppm" >"$work/pasted.ppm"
        mv "$work/pasted.ppm" "$work/shot.ppm"
    done
    pnmtopng -compression 9 "$work/shot.ppm" >"$out/$2.png" 2>/dev/null
    echo "make-screenshots: $out/$2.png"
}
# Waits until the long VOB's output holds about 60 % of its packs.
waitForScan() {  # OUTPUT
    for _ in $(seq 1200); do
        (($(stat -c %s "$1" 2>/dev/null || echo 0) >= longVobOutput * 6 / 10)) && return
        sleep 0.05
    done
    fail "the long VOB's scan never reached 60 %"
}
# Idle, during the job, and done; then the window closed with Esc.
shootJob() {  # WINDOW PREFIX OUTPUT
    shoot "$1" "$2-idle"
    xdotool windowactivate --sync "$1" key Return
    waitForScan "$3"
    shoot "$1" "$2-job"
    local box
    box=$(waitForWindow '^Done$')
    shoot "$1" "$2-done" "$box"
    xdotool windowactivate --sync "$box" key Return
}

# The Qt window: its settings in the scratch folder.
discRoot "$work/DVD"
mkdir -p "$work/config/vantrel" "$work/Copy"
printf 'REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\TORVELLANCE\\Vantrel]\r\n"VOBPATH"="%s"\r\n"DESTPATH"="%s"\r\n"ALERT"=hex:01\r\n' \
    "$work/DVD" "$work/Copy/" >"$work/config/vantrel/registry.reg"
XDG_CONFIG_HOME=$work/config QT_QPA_PLATFORM=xcb "$window" &
qt=$!
pids+=("$qt")
id=$(waitForWindow '^ Vantrel Extractor$')
shootJob "$id" window "$work/Copy/VTS_02_2.VOB"
xdotool windowactivate --sync "$id" key Escape
wait "$qt" || fail "vantrel ended with status $?"
rm -rf "$work/DVD" "$work/Copy"

# The Win32 window under Wine, the folders on the prefix's drive C:.
export VANTREL_WINE_DISPLAY=$DISPLAY
# A home of its own: the folder browser shows the prefix's desktop, which is
# made of the home the prefix was made with.
mkdir -p "$work/home"
wine() { HOME=$work/home "$here/wine-run.sh" "$prefix" "$@"; }
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null
key='HKLM\SOFTWARE\TORVELLANCE\Vantrel'
wine reg delete 'HKCU\SOFTWARE\TORVELLANCE\Vantrel' /f >/dev/null 2>&1 || true
wine reg add "$key" /v VOBPATH /d 'C:\DVD' /f >/dev/null
wine reg add "$key" /v DESTPATH /d "C:\\Extract\\" /f >/dev/null
wine reg add "$key" /v ALERT /t REG_BINARY /d 01 /f >/dev/null
rm -rf "$prefix/drive_c/DVD" "$prefix/drive_c/Extract"
discRoot "$prefix/drive_c/DVD"
mkdir -p "$prefix/drive_c/Extract"
stopWine
wine "$exe" 2>"$work/wine.log" &
win32=$!
id=$(waitForWindow '^ Vantrel Extractor$')
shootJob "$id" windows "$prefix/drive_c/Extract/VTS_02_2.VOB"
# Alt+D, Tab to the destination's browse button, Space presses it.
xdotool windowactivate --sync "$id" key alt+d Tab space
browser=$(waitForWindow '^Browse [Ff]or Folder$')
shoot "$browser" windows-browse
xdotool windowactivate --sync "$browser" key Escape
xdotool windowactivate --sync "$id" key Escape
wait "$win32" || fail "vantrel.exe ended with status $?"
rm -rf "$prefix/drive_c/DVD" "$prefix/drive_c/Extract" "$work"
