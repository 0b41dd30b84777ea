#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "dvd/big_endian.h"
#include "dvd/dvd_format.h"

namespace vantrel::dvd {

// True when `sector` (kSectorSize bytes) is a navigation pack in full:
// pack header, system header, and the PCI and DSI packets with their substream
// ids. Video or audio data that matched the scanner's two fragments by chance
// is not.
inline bool isNavPack(const unsigned char* sector) {
    const auto startsWith = [&](std::int64_t offset, const unsigned char(&code)[4]) {
        return std::memcmp(sector + offset, code, sizeof code) == 0;
    };
    return startsWith(kPackHeaderOffset, kPackStartCode) &&
           startsWith(kSystemHeaderOffset, kSystemHeaderStartCode) &&
           startsWith(kPciPacketOffset, kPrivateStream2StartCode) &&
           sector[kPciSubstreamOffset] == kPciSubstreamId &&
           startsWith(kDsiPacketOffset, kPrivateStream2StartCode) &&
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
