#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "dvd/big_endian.h"
#include "dvd/dvd_format.h"

namespace vantrel::dvd {

// The scanner's rule for a sector held whole: the last two bytes of the pack
// start code at bytes 2-3 and of the private_stream_2 start code at bytes
// 40-41, nothing else compared. Every sector of a copy this tool wrote passes
// it; a disc's video and audio packs pass it only by chance, about one in
// 65,536.
inline bool keptByScannerRule(const unsigned char* sector) {
    const auto word = [&](std::int64_t offset) {
        return static_cast<std::uint16_t>(sector[offset] | (sector[offset + 1] << 8));
    };
    return word(kPackStartOffset) == kPackStartWord &&
           word(kPrivateStream2Offset) == kPrivateStream2Word;
}

// A disc's VOB opens with a video object unit: its navigation pack, then the
// unit's video and audio packs, each of which passes the scanner's rule only
// by chance. The second sector already tells a disc's video from a copy; this
// many make a chance pass impossible in practice and reach past the 16 empty
// sectors that open a disc image.
inline constexpr std::int64_t kSectorsTellingDiscVideo = 32;

// True when `sector` opens as a navigation pack does, whatever follows the
// PCI packet's substream id: pack header, system header, PCI packet. A pack
// cut short and completed with zeros keeps this much when the cut comes after
// byte 44.
inline bool opensAsNavPack(const unsigned char* sector) {
    const auto startsWith = [&](std::int64_t offset, const unsigned char(&code)[4]) {
        return std::memcmp(sector + offset, code, sizeof code) == 0;
    };
    return startsWith(kPackHeaderOffset, kPackStartCode) &&
           startsWith(kSystemHeaderOffset, kSystemHeaderStartCode) &&
           startsWith(kPciPacketOffset, kPrivateStream2StartCode) &&
           sector[kPciSubstreamOffset] == kPciSubstreamId;
}

// True when `sector` (kSectorSize bytes) is a navigation pack in full:
// pack header, system header, and the PCI and DSI packets with their substream
// ids. Video or audio data that matched the scanner's two fragments by chance
// is not.
inline bool isNavPack(const unsigned char* sector) {
    return opensAsNavPack(sector) &&
           std::memcmp(sector + kDsiPacketOffset, kPrivateStream2StartCode,
                       sizeof kPrivateStream2StartCode) == 0 &&
           sector[kDsiSubstreamOffset] == kDsiSubstreamId;
}

// The sector number within its VOB set that a navigation pack gives itself.
inline std::uint32_t navPackLbn(const unsigned char* sector) {
    return bigEndian32(sector + kNavPackLbnOffset);
}

// True when `sector` is all zeros, which no pack is: every pack opens with
// its start code. A sparse copy reads so wherever it holds no NV_PCK (a hole).
inline bool isHole(const unsigned char* sector) {
    return std::all_of(sector, sector + kSectorSize, [](unsigned char byte) { return byte == 0; });
}

}  // namespace vantrel::dvd
