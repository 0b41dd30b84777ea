#!/usr/bin/env bash
# The portable zip and the installer as a Windows user gets them, under Wine
# in a prefix of their own, made afresh:
# - two builds of the artefacts are byte-identical;
# - the installer, run silently, puts the programs and their texts in
#   Program Files, a shortcut in the Start menu and an entry in Apps with the
#   program's icon, what it does and the installed README.txt as its help;
# - the installed vantrel-cli.exe extracts the authored DVD byte for byte as
#   the Linux program does, and logs to %LOCALAPPDATA%; the installed window
#   opens and, closed, keeps its settings in the registry; neither writes
#   anything under Program Files;
# - the same installer again, a rebuild of the same version (other product
#   and package codes), then one of a higher version, leave one entry; the
#   older one then refuses to go over the newer;
# - removed silently, the programs, the shortcut and the entry are gone, the
#   settings and the log are not;
# - the portable copy, unpacked into a writable folder, logs beside itself.
#   scripts/check-windows-install.sh WORK PREFIX SETTINGS CLI DVD
# WORK: a scratch folder; PREFIX: the Wine prefix (made afresh); SETTINGS: the
# Windows build's artefacts.env; CLI: the Linux vantrel-cli; DVD: where the
# authored folder is kept.
# Exits 77 (skipped) without the packaging tools, or without ffmpeg and dvdauthor.
set -eEuo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(realpath -m "$1") prefix=$(realpath -m "$2") artefactSettings=$3 linuxCli=$4
dvd=$(realpath -m "$5")

for tool in zip unzip wixl msibuild msiinfo faketime; do
    if ! command -v $tool >/dev/null; then
        echo "check-windows-install: skipped: $tool is not installed" \
             "(scripts/install-deps.sh windows installs it)"
        exit 77
    fi
done
"$here/author-dvd.sh" "$dvd" || exit $?

fail() { echo "check-windows-install: $*" >&2; exit 1; }
trap 'echo "check-windows-install: line $LINENO failed: $BASH_COMMAND" >&2' ERR
wine() { "$here/wine-run.sh" "$prefix" "$@"; }
windowsPath() { local path=${1//\//\\}; echo "Z:$path"; }  # Wine's Z: is /
# What `reg query ARGUMENT...` shows, without Windows' line ends; nothing
# for a key that is missing (Wine's reg says so on stdout).
registry() {
    local shown
    if shown=$(wine reg query "$@" 2>/dev/null); then tr -d '\r' <<<"$shown"; fi
}
expectValue() {  # TEXT NAME TYPE VALUE
    grep -qxF "    $2    $3    $4" <<<"$1" || fail "no $2 '$4' in: $1"
}

# The version, the publisher and the files the artefacts are made of.
# shellcheck source=/dev/null
source "$artefactSettings"
next=${version%.*}.$((${version##*.} + 1))
rm -rf "$work"
mkdir -p "$work"
[[ -d $prefix ]] && { WINEPREFIX=$prefix wineserver -k 2>/dev/null || true; }
rm -rf "$prefix"

artefacts=$here/../packaging/windows/make-artefacts.sh
"$artefacts" "$artefactSettings" "$work/first" >/dev/null
sleep 2  # the zip's times go by 2 s: a stamp taken from the clock would differ
"$artefacts" "$artefactSettings" "$work/again" >/dev/null
"$artefacts" "$artefactSettings" "$work/next" "$next" >/dev/null
# A rebuild of the same version that holds other bytes: here its installer
# source, so that the programs it installs are the same.
sed '$a<!-- rebuilt -->' "$installer_source" >"$work/rebuilt.wxs"
sed "s|^installer_source=.*|installer_source='$work/rebuilt.wxs'|" "$artefactSettings" \
    >"$work/rebuilt.env"
"$artefacts" "$work/rebuilt.env" "$work/rebuilt" >/dev/null
name=vantrel-$version-win64
for artefact in "$name.zip" "$name.msi"; do
    cmp "$work/first/$artefact" "$work/again/$artefact" || fail "two builds of $artefact differ"
done
echo "Two builds: byte-identical $name.zip and $name.msi"
nextName=vantrel-$next-win64
msi=$(windowsPath "$work/first/$name.msi") nextMsi=$(windowsPath "$work/next/$nextName.msi")
rebuiltMsi=$(windowsPath "$work/rebuilt/$name.msi")
productCode() { msiinfo export "$1" Property | tr -d '\r' | sed -n 's/^ProductCode\t//p'; }
packageCode() { msiinfo suminfo "$1" | sed -n 's/^Revision number (UUID): //p'; }
code=$(productCode "$work/first/$name.msi") nextCode=$(productCode "$work/next/$nextName.msi")
rebuiltCode=$(productCode "$work/rebuilt/$name.msi")
[[ $code != "$nextCode" ]] || fail "both installers have the product code $code"
[[ $code != "$rebuiltCode" ]] || fail "the rebuild has the product code $code"
[[ $(packageCode "$work/first/$name.msi") != $(packageCode "$work/rebuilt/$name.msi") ]] ||
    fail "the rebuild has the same package code"

# The portable copy: exactly the programs and their texts, in a folder of its own.
unzip -q "$work/first/$name.zip" -d "$work/portable"
portable=$work/portable/$name
[[ $(cd "$work/portable" && find . -type f | sort | tr '\n' ' ') == \
   "./$name/LICENSE.txt ./$name/README.txt ./$name/vantrel-cli.exe ./$name/vantrel.exe " ]] ||
    fail "the zip holds: $(cd "$work/portable" && find . -type f)"
grep -q "^MIT License" "$portable/LICENSE.txt" || fail "the zip's LICENSE.txt is no MIT licence"

wine cmd /c ver >/dev/null  # the fresh prefix, before anything is installed
drive=$prefix/drive_c
programFiles() { (cd "$drive/Program Files" && find . | sort); }
programFiles >"$work/program-files-before"
uninstallKey='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
entries() {
    registry "$uninstallKey" /s | grep -cxF "    DisplayName    REG_SZ    Vantrel Extractor" || true
}
# Windows puts a shortcut for every user in ProgramData's Start menu, Wine in
# the installing user's (its msi knows only that one).
shortcuts() { find "$drive" -name "Vantrel Extractor.lnk" -path "*/Start Menu/Programs/*"; }
installed=$drive/Program\ Files/Vantrel

# What the installer leaves: the four files, the shortcut, one entry.
checkInstalled() {  # VERSION PRODUCT-CODE
    local files="LICENSE.txt README.txt vantrel-cli.exe vantrel.exe "
    [[ $(ls "$installed" | tr '\n' ' ') == "$files" ]] ||
        fail "Program Files\\Vantrel holds: $(ls "$installed")"
    for file in vantrel.exe vantrel-cli.exe README.txt LICENSE.txt; do
        cmp "$installed/$file" "$portable/$file" || fail "the installed $file is not the zip's"
    done
    local shortcut
    shortcut=$(shortcuts)
    [[ -n $shortcut && $(wc -l <<<"$shortcut") == 1 ]] || fail "Start-menu shortcuts: '$shortcut'"
    grep -qaF 'C:\Program Files\Vantrel\vantrel.exe' "$shortcut" ||
        fail "the shortcut leads elsewhere"
    [[ $(entries) == 1 ]] || fail "$(entries) entries in Apps"
    local entry
    entry=$(registry "$uninstallKey\\$2")
    expectValue "$entry" DisplayName REG_SZ "Vantrel Extractor"
    expectValue "$entry" DisplayVersion REG_SZ "$1"
    expectValue "$entry" Publisher REG_SZ "$publisher"
    expectValue "$entry" InstallLocation REG_SZ 'C:\Program Files\Vantrel\'
    expectValue "$entry" HelpLink REG_SZ 'C:\Program Files\Vantrel\README.txt'
    expectValue "$entry" Comments REG_SZ "Copies a DVD-Video folder's structure without its video."
    expectValue "$entry" UninstallString REG_EXPAND_SZ "MsiExec.exe /X$2"
    expectValue "$entry" NoModify REG_DWORD 0x1
    # Apps takes an installed product's icon from its registration.
    local productIcon
    productIcon=$(registry 'HKLM\Software\Classes\Installer\Products' /s |
                  sed -n 's/^    ProductIcon    REG_SZ    C:\\windows\\Installer\\//ip')
    [[ $productIcon == "$2\\vantrel.ico" ]] || fail "the product's icon is '$productIcon'"
    cmp "$drive/windows/Installer/$2/vantrel.ico" "$icon" ||
        fail "the entry's icon is not the program's"
    echo "  $shortcut"
}

wine msiexec /i "$msi" /qn || fail "msiexec /i $name.msi /qn ended with status $?"
checkInstalled "$version" "$code"
echo "Installed silently: the programs in Program Files, the shortcut above, one entry in Apps"

# The installed programs at work: the outputs as the Linux program's, the log
# in %LOCALAPPDATA% (a folder where a file must go is one failure), the
# window's settings in the registry, and nothing new under Program Files.
"$here/check-authored-dvd.sh" "$dvd" "$work/authored" "$linuxCli" \
    'C:\Program Files\Vantrel\vantrel-cli.exe' "$here/wine-run.sh" "$prefix" | tail -n 1
mkdir -p "$work/blocked/VTS_01_0.IFO"
status=0
wine 'C:\Program Files\Vantrel\vantrel-cli.exe' --quiet "$(windowsPath "$dvd/VIDEO_TS")" \
    "$(windowsPath "$work/blocked")" 2>/dev/null || status=$?
[[ $status == 3 ]] || fail "the installed vantrel-cli.exe ended with $status, not 3 (files failed)"
log=$(find "$drive/users" -path "*/AppData/Local/Vantrel/Vantrel.log")
[[ -n $log ]] && grep -q "VTS_01_0.IFO" "$log" || fail "no log in %LOCALAPPDATA%\\Vantrel"
wine 'C:\Program Files\Vantrel\vantrel.exe' &
windowPid=$!
for _ in $(seq 60); do
    kill -0 $windowPid 2>/dev/null || break
    wine taskkill /im vantrel.exe >/dev/null 2>&1 || true  # asks its window to close
    sleep 1
done
kill -0 $windowPid 2>/dev/null && fail "the installed window did not close"
wait $windowPid || fail "the installed vantrel.exe ended with status $?"
settingsKey='HKLM\SOFTWARE\TORVELLANCE\Vantrel'
savedSettings=$(registry "$settingsKey")
expectValue "$savedSettings" ALERT REG_BINARY 01
programFiles >"$work/program-files-installed"
diff <(comm -13 "$work/program-files-before" "$work/program-files-installed") - <<LIST ||
./Vantrel
./Vantrel/LICENSE.txt
./Vantrel/README.txt
./Vantrel/vantrel-cli.exe
./Vantrel/vantrel.exe
LIST
    fail "the programs wrote under Program Files"
echo "Installed programs: the log in ${log#"$drive/"}, the window's settings in $settingsKey," \
     "nothing else under Program Files"

wine msiexec /i "$msi" /qn || fail "msiexec /i $name.msi /qn again ended with status $?"
checkInstalled "$version" "$code" >/dev/null
wine msiexec /i "$rebuiltMsi" /qn || fail "msiexec /i the rebuilt $name.msi ended with status $?"
checkInstalled "$version" "$rebuiltCode" >/dev/null
[[ -z $(registry "$uninstallKey\\$code") ]] || fail "the entry of the first $version is still there"
wine msiexec /i "$nextMsi" /qn || fail "msiexec /i $nextName.msi /qn ended with status $?"
checkInstalled "$next" "$nextCode" >/dev/null
[[ -z $(registry "$uninstallKey\\$rebuiltCode") ]] || fail "the entry of $version is still there"
status=0
wine msiexec /i "$msi" /qn || status=$?
[[ $status != 0 ]] || fail "$name.msi went over version $next"
checkInstalled "$next" "$nextCode" >/dev/null
echo "The same installer again, a rebuild of $version, then version $next: one entry," \
     "replaced in place; $version again: refused (status $status)"

wine msiexec /x "$nextMsi" /qn || fail "msiexec /x /qn ended with status $?"
[[ ! -e $installed ]] || fail "Program Files\\Vantrel is still there"
[[ -z $(shortcuts) ]] || fail "the shortcut is still there: $(shortcuts)"
[[ $(entries) == 0 ]] || fail "the entry in Apps is still there"
programFiles | diff "$work/program-files-before" - || fail "Program Files is not as before"
[[ $(registry "$settingsKey") == "$savedSettings" ]] ||
    fail "the settings are not as they were: $(registry "$settingsKey")"
[[ -s $log ]] || fail "the log is gone"
echo "Removed silently: the programs, the shortcut and the entry are gone;" \
     "the settings and the log stay"

# The portable copy logs beside itself.
status=0
wine "$(windowsPath "$portable/vantrel-cli.exe")" --quiet "$(windowsPath "$dvd/VIDEO_TS")" \
    "$(windowsPath "$work/blocked")" 2>/dev/null || status=$?
[[ $status == 3 ]] || fail "the portable vantrel-cli.exe ended with $status, not 3 (files failed)"
grep -q "VTS_01_0.IFO" "$portable/Vantrel.log" || fail "the portable copy logged elsewhere"
echo "The portable copy, unpacked into a writable folder, logs beside itself"
