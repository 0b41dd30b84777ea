#pragma once

#include <cstdint>
#include <cstring>

#include "dvd/dvd_format.h"
#include "engine/big_endian.h"

namespace vantrel::engine {

// True when `sector` (dvd::kSectorSize bytes) is a navigation pack in full:
// pack header, system header, and the PCI and DSI packets with their substream
// ids. Video or audio data that matched the scanner's two fragments by chance
// is not.
inline bool isNavPack(const unsigned char* sector) {
    const auto startsWith = [&](std::int64_t offset, const unsigned char(&code)[4]) {
        return std::memcmp(sector + offset, code, sizeof code) == 0;
    };
    return startsWith(dvd::kPackHeaderOffset, dvd::kPackStartCode) &&
           startsWith(dvd::kSystemHeaderOffset, dvd::kSystemHeaderStartCode) &&
           startsWith(dvd::kPciPacketOffset, dvd::kPrivateStream2StartCode) &&
           sector[dvd::kPciSubstreamOffset] == dvd::kPciSubstreamId &&
           startsWith(dvd::kDsiPacketOffset, dvd::kPrivateStream2StartCode) &&
           sector[dvd::kDsiSubstreamOffset] == dvd::kDsiSubstreamId;
}

// The sector number within its VOB set that a navigation pack gives itself.
inline std::uint32_t navPackLbn(const unsigned char* sector) {
    return bigEndian32(sector + dvd::kNavPackLbnOffset);
}

}  // namespace vantrel::engine
