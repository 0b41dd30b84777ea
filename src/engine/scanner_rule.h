#pragma once

#include <cstddef>

#include "dvd/dvd_format.h"

namespace vantrel::engine {

// The scanner's rule for a sector held whole: the last two bytes of the pack
// start code at bytes 2-3 and of the private_stream_2 start code at bytes
// 40-41, nothing else compared. Every sector of a copy this tool wrote passes
// it; a disc's video and audio packs pass it only by chance.
inline bool scannerKeeps(const unsigned char* sector) {
    const auto word = [&](std::int64_t offset) {
        return static_cast<std::uint16_t>(sector[offset] | (sector[offset + 1] << 8));
    };
    return word(dvd::kPackStartOffset) == dvd::kPackStartWord &&
           word(dvd::kPrivateStream2Offset) == dvd::kPrivateStream2Word;
}

}  // namespace vantrel::engine
