#!/usr/bin/env bash
# Makes what a Windows user downloads, from a configured Windows build:
#   packaging/windows/make-artefacts.sh SETTINGS OUTPUT [VERSION]
# writes into OUTPUT
#   vantrel-VERSION-win64.zip  the portable copy: vantrel.exe, vantrel-cli.exe,
#                              README.txt and LICENSE.txt in the folder
#                              vantrel-VERSION-win64;
#   vantrel-VERSION-win64.msi  the installer, from vantrel.wxs with wixl.
# SETTINGS is the build's artefacts.env (the files, the version, the
# publisher); VERSION replaces its version (the installer's test upgrades to
# a higher one). The same commit gives byte-identical files: every time stamp
# is scripts/source-date-epoch.sh's, and the installer's codes are derived
# from what it holds instead of drawn at random.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=/dev/null
source "$1"
output=$(realpath -m "$2")
version=${3:-$version}

for tool in zip wixl msibuild msiinfo faketime; do
    if ! command -v $tool >/dev/null; then
        echo "make-artefacts: $tool is missing (scripts/install-deps.sh windows installs it)" >&2
        exit 1
    fi
done
epoch=$("$here/../../scripts/source-date-epoch.sh")
name=vantrel-$version-win64
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The programs and their texts, as both artefacts hold them.
stage=$work/$name
payload=(vantrel.exe vantrel-cli.exe README.txt LICENSE.txt)
mkdir "$stage"
cp "$window" "$stage/vantrel.exe"
cp "$cli" "$stage/vantrel-cli.exe"
cp "$readme" "$stage/README.txt"
cp "$licence" "$stage/LICENSE.txt"
cp "$icon" "$stage/vantrel.ico"  # the installer's entry in Apps shows it
chmod 644 "$stage"/*
touch -d "@$epoch" "$stage"/*
mkdir -p "$output"

# Zip keeps local times: in UTC they are the same everywhere. No extra fields
# (owner, access time), no folder entries.
rm -f "$output/$name.zip"
(cd "$work" && TZ=UTC zip -q -X -D -9 "$output/$name.zip" "${payload[@]/#/$name/}")

# A name-based UUID (RFC 4122's layout, version 5, from SHA-256) for `text`.
uuidOf() {
    local hash
    hash=$(printf '%s' "$1" | sha256sum)
    printf '%s-%s-5%s-%x%s-%s\n' "${hash:0:8}" "${hash:8:4}" "${hash:13:3}" \
        "$(((16#${hash:16:1} & 3) | 8))" "${hash:17:3}" "${hash:20:12}" | tr a-f A-F
}
# A build that holds other bytes is another product and another package;
# wixl would draw both codes at random, and stamp the package with the clock.
contents=$(cd "$stage" && cat "${payload[@]}" vantrel.ico "$installer_source" | sha256sum)
productCode=$(uuidOf "product $version $contents")
packageCode=$(uuidOf "package $version $contents")
# The clock stands still at the epoch; the files' own times are left true.
atEpoch() {
    TZ=UTC NO_FAKE_STAT=1 faketime -f "$(date -u -d "@$epoch" '+%Y-%m-%d %H:%M:%S')" "$@"
}
(cd "$stage" && atEpoch wixl --arch x64 -D "Version=$version" -D "ProductCode=$productCode" \
    -D "Publisher=$publisher" -o "$work/$name.msi" "$installer_source")
# wixl leaves out IncludeMaximum (512) of the Upgrade row that finds the other
# versions, which the .wxs asks for: a build of the same version would install
# beside the installed one instead of replacing it. The row gets it back.
msiinfo export "$work/$name.msi" Upgrade | awk -F'\t' -v OFS='\t' '
    NR > 3 && $7 ~ /^OTHER_VERSION_FOUND\r?$/ && $5 % 1024 < 512 { $5 += 512 } { print }' \
    >"$work/Upgrade.idt"
atEpoch msibuild "$work/$name.msi" -i "$work/Upgrade.idt" \
    -s "Vantrel Extractor $version" "$publisher" "x64;1033" "{$packageCode}"
mv "$work/$name.msi" "$output/$name.msi"
echo "make-artefacts: $output/$name.zip and $output/$name.msi"
