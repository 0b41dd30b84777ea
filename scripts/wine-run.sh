#!/usr/bin/env bash
# Runs a Windows program under Wine in a private prefix, made on first use:
#   scripts/wine-run.sh PREFIX PROGRAM [ARGUMENT...]
# Names beginning with a dot are not hidden, as on Windows (Wine's own default
# hides them). The prefix also gets a scratch drive T: (PREFIX/drive_t) for the
# tests of drive roots, with the marker file that says it is scratch.
# Programs see no X display unless VANTREL_WINE_DISPLAY names one: their
# windows then exist only in Wine's null display driver, so that the window's
# tests run anywhere and open nothing on the desktop of whoever runs them. A
# prefix keeps the display driver its first program had: give a prefix with
# a display its own. Wine's menu builder is off: a shortcut an installer makes
# stays in the prefix, not in the desktop menu of whoever runs the tests.
set -euo pipefail
prefix=$(realpath -m "$1")
shift
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
if [[ -n ${VANTREL_WINE_DISPLAY:-} ]]; then
    export DISPLAY=$VANTREL_WINE_DISPLAY
else
    unset DISPLAY WAYLAND_DISPLAY
fi

ready=$prefix/.vantrel-ready-2
if [[ ! -e $ready ]]; then
    mkdir -p "$(dirname "$prefix")"
    exec 9>"$prefix.lock"
    flock 9
    if [[ ! -e $ready ]]; then
        echo "wine-run: making the Wine prefix $prefix (once, about 20 s)" >&2
        wineboot --init >/dev/null 2>&1 || true
        wineserver --wait
        [[ -e $prefix/system.reg ]] || { echo "wine-run: wineboot made no prefix" >&2; exit 1; }
        wine reg add 'HKCU\Software\Wine' /v ShowDotFiles /d Y /f >/dev/null
        # X11 where there is a display, the null driver where there is none.
        wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d x11,null /f >/dev/null
        mkdir -p "$prefix/drive_t"
        touch "$prefix/drive_t/.vantrel-scratch-drive"
        ln -sfn ../drive_t "$prefix/dosdevices/t:"
        # The server that made the prefix keeps the display driver it had
        # then: the next program's first window would find none.
        wineserver -k 2>/dev/null || true
        wineserver --wait
        touch "$ready"
    fi
    exec 9>&-
fi
# The regional settings of Wine's programs follow LC_ALL; set here, the
# shells around it need not know the locale.
if [[ -n ${VANTREL_WINE_LOCALE:-} ]]; then
    exec env LC_ALL="$VANTREL_WINE_LOCALE" wine "$@"
fi
exec wine "$@"
