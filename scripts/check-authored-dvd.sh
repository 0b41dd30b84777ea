#!/usr/bin/env bash
# Extracts a real authored DVD folder (scripts/author-dvd.sh) and checks the
# outputs against a reference made here, independently of the engine: every
# .IFO and .BUP byte for byte, every .VOB reduced, in order, to its whole
# 2048-byte sectors that the scanner's rule takes: 01 BA at bytes 2-3 (of the
# pack header 00 00 01 BA) and 01 BF at bytes 40-41 (of the PCI packet's
# 00 00 01 BF at byte 38). It also says how many sectors that rule takes which
# hold no PCI packet: video whose data has 01 BF at bytes 40-41 by chance.
# The sparse copy (--sparse) must hold the same sectors at their own offsets
# in files of the VOBs' lengths, zeros elsewhere.
#   scripts/check-authored-dvd.sh DVD WORK CLI [EXE EMULATOR...]
# DVD: where the authored folder is kept; WORK: a scratch folder; CLI: the
# Linux vantrel-cli. With EXE (vantrel-cli.exe) and the command that runs it
# (scripts/wine-run.sh PREFIX), the Windows program extracts the same folder and
# its outputs must be byte-identical to the Linux program's, and its sparse
# copy take no more blocks on disk than the Linux program's (but for Wine's
# own rounding): holes for real.
# Exits 77 (skipped) when ffmpeg or dvdauthor is missing.
set -euo pipefail
here=$(dirname "$0")
dvd=$(realpath -m "$1") work=$(realpath -m "$2") cli=$3
shift 3

"$here/author-dvd.sh" "$dvd" || exit $?
source=$dvd/VIDEO_TS
[[ -x $cli ]] || { echo "check-authored-dvd: no Linux program at $cli (make build)" >&2; exit 1; }
rm -rf "$work"
mkdir -p "$work/reference" "$work/reference-sparse" "$work/linux"

perl -e '
    my ($from, $to) = @ARGV;
    my ($taken, $strays) = (0, 0);
    opendir(my $folder, $from) or die "$from: $!";
    for my $name (grep { /\.(ifo|bup|vob)$/i } readdir $folder) {
        open(my $in, "<:raw", "$from/$name") or die "$name: $!";
        open(my $out, ">:raw", "$to/$name") or die "$name: $!";
        open(my $sparse, ">:raw", "$to-sparse/$name") or die "$name: $!";
        if ($name !~ /\.vob$/i) {
            local $/;
            my $whole = <$in>;
            print $out $whole;
            print $sparse $whole;
            next;
        }
        while (read($in, my $sector, 2048) == 2048) {
            my $kept = substr($sector, 2, 2) eq "\x01\xBA" && substr($sector, 40, 2) eq "\x01\xBF";
            print $sparse ($kept ? $sector : "\0" x 2048);
            next unless $kept;
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
"$cli" --quiet --sparse "$source" "$work/linux-sparse"
diff -r "$work/reference-sparse" "$work/linux-sparse"
kib() { du -sk "$1" | cut -f1; }
echo "Linux, sparse: as the reference, $(kib "$work/linux-sparse") KiB on disk" \
     "($(kib "$work/linux") KiB packed, $(kib "$source") KiB the disc)"

if [[ $# -gt 0 ]]; then
    exe=$1
    shift
    windowsPath() { local path=${1//\//\\}; echo "Z:$path"; }  # Wine's Z: is /
    # The program under Wine, once more when Wine itself lost its server as
    # the program started ("wine client error"), a race of Wine's with the
    # other tests' programs in the same prefix, not the program's failure.
    onWine() {
        local status=0
        "$@" 2>"$work/wine-stderr" || status=$?
        if ((status != 0)) && grep -q "^wine client error" "$work/wine-stderr"; then
            status=0
            "$@" 2>"$work/wine-stderr" || status=$?
        fi
        cat "$work/wine-stderr" >&2
        return $status
    }
    mkdir -p "$work/windows"
    onWine "$@" "$exe" --quiet "$(windowsPath "$source")" "$(windowsPath "$work/windows")"
    diff -r "$work/linux" "$work/windows"
    echo "Windows: $(ls "$work/windows" | wc -l) files byte-identical to the Linux program's"
    onWine "$@" "$exe" --quiet --sparse "$(windowsPath "$source")" \
        "$(windowsPath "$work/windows-sparse")"
    diff -r "$work/linux-sparse" "$work/windows-sparse"
    # Wine gives a file the block its new end falls in when it lengthens it
    # (NTFS does not): a VOB of an odd number of sectors takes 4 KiB more.
    allowed=$(($(kib "$work/linux-sparse") + 4 * $(find "$source" -iname '*.vob' | wc -l)))
    if (($(kib "$work/windows-sparse") > allowed)); then
        echo "Windows, sparse: $(kib "$work/windows-sparse") KiB on disk, more than" \
             "$allowed KiB" >&2
        exit 1
    fi
    echo "Windows, sparse: byte-identical to Linux's, $(kib "$work/windows-sparse") KiB on disk"
fi
