#!/usr/bin/env bash
# Drives vantrel.exe under Wine on an X server of its own (Xvfb, with openbox
# as window manager), with the keyboard as a user would: the window opens
# with its caption, centred and sized for the screen's 144 dpi, with the
# folders the registry holds; Enter extracts a real authored DVD folder
# (scripts/author-dvd.sh) and the "Done" box appears; the destination's browse
# button opens the shell's folder browser at that folder, whose OK puts it
# back into the box; Esc closes the window, also while the browser is open
# again, and the window saves the folders in the registry. The outputs must
# be byte-identical to the Linux program's.
#   scripts/check-window-under-x.sh WORK PREFIX EXE CLI DVD
# WORK: a scratch folder; PREFIX: the Wine prefix for programs with a display
# (made on first use); EXE: vantrel.exe; CLI: the Linux vantrel-cli; DVD: where
# the authored folder is kept.
# Exits 77 (skipped) without Xvfb, or without ffmpeg and dvdauthor.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(realpath -m "$1") prefix=$(realpath -m "$2") exe=$3 cli=$4 dvd=$(realpath -m "$5")

if ! command -v Xvfb >/dev/null; then
    echo "check-window-under-x: skipped: Xvfb is not installed (the window's test needs an X server)"
    exit 77
fi
for tool in openbox xdotool; do
    command -v $tool >/dev/null ||
        { echo "check-window-under-x: $tool is missing (scripts/install-deps.sh windows installs it)" >&2; exit 1; }
done
"$here/author-dvd.sh" "$dvd" || exit $?

# What the screen showed goes with a failure, where ImageMagick can take it.
fail() {
    echo "check-window-under-x: $*" >&2
    if command -v import >/dev/null && import -window root "$work/screen.png" 2>/dev/null; then
        echo "check-window-under-x: the screen is in $work/screen.png" >&2
    fi
    exit 1
}
windowsPath() { local path=${1//\//\\}; echo "Z:$path"; }  # Wine's Z: is /
rm -rf "$work"
mkdir -p "$work/linux"

# An X server on a display no one uses (Xvfb picks it and says which once it
# listens), and a window manager on it.
# The prefix's Wine, if it still runs, keeps the display it started with.
stopWine() { WINEPREFIX=$prefix wineserver -k 2>/dev/null && WINEPREFIX=$prefix wineserver -w || true; }
stopWine
pids=()
cleanup() {
    stopWine
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
}
trap cleanup EXIT
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [[ -s $work/display ]] && break; sleep 0.1; done
[[ -s $work/display ]] || fail "Xvfb did not start"
export DISPLAY=:$(cat "$work/display") VANTREL_WINE_DISPLAY=:$(cat "$work/display")
openbox --sm-disable >/dev/null 2>&1 &
pids+=($!)

wine() { "$here/wine-run.sh" "$prefix" "$@"; }
# The id of the first window whose name matches, once there is one.
waitForWindow() {
    for _ in $(seq 300); do
        local id
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1) || true
        [[ -n $id ]] && { echo "$id"; return; }
        sleep 0.2
    done
    fail "no window named '$1'"
}

key='HKLM\SOFTWARE\TORVELLANCE\Vantrel'
# The destination on the prefix's own drive C: (Wine's folder browser does not
# always find its way down long paths of Z:).
source=$(windowsPath "$dvd/VIDEO_TS") destination='C:\vantrel-out'
wine reg delete "$key" /f >/dev/null 2>&1 || true
wine reg delete 'HKCU\SOFTWARE\TORVELLANCE\Vantrel' /f >/dev/null 2>&1 || true
wine reg add "$key" /v VOBPATH /d "$source" /f >/dev/null
wine reg add "$key" /v DESTPATH /d "$destination\\" /f >/dev/null
out=$prefix/drive_c/vantrel-out
rm -rf "$out"
mkdir -p "$out"
# A screen of 144 dpi (150 %), read when Wine starts: the twips must scale.
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null
stopWine

wine "$exe" 2>"$work/wine.log" &  # Wine's own remarks
program=$!
window=$(waitForWindow '^ Vantrel Extractor$')
[[ $(xdotool getwindowname "$window") == " Vantrel Extractor" ]] || fail "the caption is wrong"
eval "$(xdotool getwindowgeometry --shell "$window")"
[[ $WIDTH == 713 && $HEIGHT == 281 ]] || fail "the client area is ${WIDTH}x$HEIGHT, not 713x281"
(( X + WIDTH / 2 > 600 && X + WIDTH / 2 < 680 )) || fail "the window is not centred ($X,$Y)"
echo "The window: ' Vantrel Extractor', 7125 x 2805 twips = 713 x 281 pixels at 144 dpi, centred"

# Enter in the source box: Extract.
xdotool windowactivate --sync "$window" key Return
done=$(waitForWindow '^Done$')
xdotool windowactivate --sync "$done" key Return
echo "Enter extracted the folder the registry named, and said Done"

# Alt+D, then Tab to the destination's browse button, and Space presses it;
# the browser opens at the box's folder, and OK takes it.
xdotool windowactivate --sync "$window" key alt+d Tab space
browser=$(waitForWindow '^Browse [Ff]or Folder$')
xdotool windowactivate --sync "$browser" key Return
# The browser has no owner: with it open again, the window still takes its
# keys, and Esc closes it, the browser with it.
xdotool windowactivate --sync "$window" key space
waitForWindow '^Browse [Ff]or Folder$' >/dev/null
xdotool windowactivate --sync "$window" key Escape
for _ in $(seq 100); do kill -0 "$program" 2>/dev/null || break; sleep 0.2; done
kill -0 "$program" 2>/dev/null && fail "Esc did not close the window"
wait "$program" || fail "vantrel.exe ended with status $?"

settings=$(wine reg query "$key" | tr -d '\r')
expect() { grep -qxF "    $1" <<<"$settings" || fail "the registry holds no '$1': $settings"; }
expect "VOBPATH    REG_SZ    $source\\"
expect "DESTPATH    REG_SZ    $destination"
expect "ALERT    REG_BINARY    01"
echo "The folders are back in the registry; the browser gave the destination back without its separator"

"$cli" --quiet "$dvd/VIDEO_TS" "$work/linux"
diff -r "$work/linux" "$out"
echo "The window: $(ls "$out" | wc -l) files byte-identical to the Linux program's"
