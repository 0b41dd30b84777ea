#pragma once

#include <cstddef>
#include <cstdint>

// Facts of the DVD-Video format that the extraction relies on.
namespace vantrel::engine::dvd {

// Every VOB is a sequence of 2048-byte packs (sectors).
inline constexpr std::int64_t kSectorSize = 2048;

// A navigation pack (NV_PCK) opens every video object unit. It begins with the
// pack start code 00 00 01 BA; bytes 2 and 3 of the sector are its last two
// bytes, read here as one little-endian word.
inline constexpr std::int64_t kPackStartOffset = 2;
inline constexpr std::uint16_t kPackStartWord = 0xBA01;

// After the 14-byte pack header and the 24-byte system header comes the PCI
// packet, opened by the private_stream_2 start code 00 00 01 BF: its last two
// bytes are bytes 40 and 41 of the sector.
inline constexpr std::int64_t kPrivateStream2Offset = 40;
inline constexpr std::uint16_t kPrivateStream2Word = 0xBF01;

// Side files are copied in blocks of this size.
inline constexpr std::size_t kCopyBlockSize = std::size_t{1} << 10;

}  // namespace vantrel::engine::dvd
