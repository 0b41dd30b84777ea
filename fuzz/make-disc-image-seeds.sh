#!/usr/bin/env bash
# Makes the seed corpus of disc_image_fuzzer in fuzz/corpus/disc_image/: UDF
# images of a tiny VIDEO_TS folder made by genisoimage, whole, with a name
# libudfread cannot decode, and with a file whose allocation descriptors go
# on in an allocation extent that goes on in itself; each in the fuzzer's
# short form (every sector that is not all zeros as its number and the length
# of what is left once its trailing zeros are cut, both 16 bits little-endian,
# then those bytes).
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/disc/VIDEO_TS" corpus/disc_image
for name in VIDEO_TS.IFO VIDEO_TS.BUP VTS_01_0.IFO VTS_01_0.BUP; do
    printf 'DVDVIDEO-%s' "$name" >"$work/disc/VIDEO_TS/$name"
done
# Two sectors and a bit: a file of more than one block, and a last one cut short.
head -c 5000 /dev/zero | tr '\0' '\272' >"$work/disc/VIDEO_TS/VTS_01_1.VOB"
genisoimage -quiet -udf -no-pad -o "$work/disc.iso" "$work/disc"

short_form() {
    perl -e '
        open(my $in, "<:raw", $ARGV[0]) or die "$ARGV[0]: $!\n";
        binmode STDOUT;
        for (my $sector = 0; read($in, my $block, 2048); ++$sector) {
            (my $kept = $block) =~ s/\0+\z//;
            die "sector $sector is past what the short form can name\n" if $sector > 0xFFFF;
            print pack("vv", $sector, length $kept), $kept if length $kept;
        }' "$1"
}

short_form "$work/disc.iso" >corpus/disc_image/video-ts
# The file identifier's encoding byte (8: one byte a character) made one libudfread does not know.
perl -p0777 -e 's/\x08VTS_01_1\.VOB/\x03VTS_01_1.VOB/' "$work/disc.iso" >"$work/name.iso"
short_form "$work/name.iso" >corpus/disc_image/undecodable-name

# ECMA-167 records: a tag (its identifier, then at byte 4 a checksum of the
# tag's other 15 bytes, at 12 the block it lies in), the partition's first
# block at byte 188 of its descriptor (tag 5), a file identifier's file entry
# at byte 24, a file entry's allocation descriptors (8 bytes each: a length
# whose top two bits are the kind, 3 for "more descriptors there", and a
# block) after its extended attributes, their lengths at 168 and 172.
perl -0777 -e '
    binmode STDIN; binmode STDOUT;
    my $image = <STDIN>;
    my ($start) = map { unpack "V", substr($image, $_ * 2048 + 188, 4) }
                  grep { unpack("v", substr($image, $_ * 2048, 2)) == 5 } 16 .. 300;
    my $entry = (unpack("V", substr($image, index($image, "\x08VTS_01_1.VOB") - 38 + 24, 4)) + $start) * 2048;
    my ($extended, $descriptors) = unpack "VV", substr($image, $entry + 168, 8);
    my $circle = length($image) / 2048 - $start;  # a block added at the end
    my $more = pack "VV", 3 << 30 | 2048, $circle;
    substr($image, $entry + 176 + $extended + $descriptors - 8, 8) = $more;
    my $extent = pack("vvx8V", 258, 2, $circle) . pack("x4V", 8) . $more;
    my $sum = 0;
    $sum += ord substr($extent, $_, 1) for grep { $_ != 4 } 0 .. 15;
    substr($extent, 4, 1) = chr($sum & 0xFF);
    print $image, $extent, "\0" x (2048 - length $extent);
' <"$work/disc.iso" >"$work/circle.iso"
short_form "$work/circle.iso" >corpus/disc_image/allocation-extent-circle
