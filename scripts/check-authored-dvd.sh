#!/usr/bin/env bash
# Extracts a real authored DVD folder (scripts/author-dvd.sh) and checks the
# outputs against a reference made here, independently of the engine: every
# .IFO and .BUP byte for byte, every .VOB reduced, in order, to its whole
# 2048-byte sectors that the scanner's rule takes: 01 BA at bytes 2-3 (of the
# pack header 00 00 01 BA) and 01 BF at bytes 40-41 (of the PCI packet's
# 00 00 01 BF at byte 38). It also says how many sectors that rule takes which
# hold no PCI packet: video whose data has 01 BF at bytes 40-41 by chance.
#   scripts/check-authored-dvd.sh DVD WORK CLI [EXE EMULATOR...]
# DVD: where the authored folder is kept; WORK: a scratch folder; CLI: the
# Linux vantrel-cli. With EXE (vantrel-cli.exe) and the command that runs it
# (scripts/wine-run.sh PREFIX), the Windows program extracts the same folder and
# its outputs must be byte-identical to the Linux program's.
# Exits 77 (skipped) when ffmpeg or dvdauthor is missing.
set -euo pipefail
here=$(dirname "$0")
dvd=$(realpath -m "$1") work=$(realpath -m "$2") cli=$3
shift 3

"$here/author-dvd.sh" "$dvd" || exit $?
source=$dvd/VIDEO_TS
[[ -x $cli ]] || { echo "check-authored-dvd: no Linux program at $cli (make build)" >&2; exit 1; }
rm -rf "$work"
mkdir -p "$work/reference" "$work/linux"

perl -e '
    my ($from, $to) = @ARGV;
    my ($taken, $strays) = (0, 0);
    opendir(my $folder, $from) or die "$from: $!";
    for my $name (grep { /\.(ifo|bup|vob)$/i } readdir $folder) {
        open(my $in, "<:raw", "$from/$name") or die "$name: $!";
        open(my $out, ">:raw", "$to/$name") or die "$name: $!";
        if ($name !~ /\.vob$/i) { local $/; my $whole = <$in>; print $out $whole; next; }
        while (read($in, my $sector, 2048) == 2048) {
            next unless substr($sector, 2, 2) eq "\x01\xBA" && substr($sector, 40, 2) eq "\x01\xBF";
            print $out $sector;
            $taken++;
            $strays++ unless substr($sector, 0, 4) eq "\x00\x00\x01\xBA"
                          && substr($sector, 38, 4) eq "\x00\x00\x01\xBF";
        }
    }
    print "Reference: $taken sectors taken, $strays of them without a PCI packet\n";' \
    "$source" "$work/reference"

"$cli" --quiet "$source" "$work/linux"
diff -r "$work/reference" "$work/linux"
echo "Linux: $(ls "$work/linux" | wc -l) files, as the reference has them"

if [[ $# -gt 0 ]]; then
    exe=$1
    shift
    windowsPath() { local path=${1//\//\\}; echo "Z:$path"; }  # Wine's Z: is /
    mkdir -p "$work/windows"
    "$@" "$exe" --quiet "$(windowsPath "$source")" "$(windowsPath "$work/windows")"
    diff -r "$work/linux" "$work/windows"
    echo "Windows: $(ls "$work/windows" | wc -l) files byte-identical to the Linux program's"
fi
