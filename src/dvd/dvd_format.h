#pragma once

#include <cstdint>

// Facts of the DVD-Video format that the extraction relies on. Header only and
// free of every other part of the program, so that each layer may name them.
namespace vantrel::dvd {

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

// The navigation pack in full, as the check against the disc's map reads it.
// Its pack header is 14 bytes and opens with the whole start code 00 00 01 BA;
// the system header (00 00 01 BB) follows it at byte 14.
inline constexpr std::int64_t kPackHeaderOffset = 0;
inline constexpr std::int64_t kSystemHeaderOffset = 14;
// The PCI packet: the private_stream_2 packet at byte 38 (start code, 2-byte
// length), whose first data byte, the substream id 0x00, is byte 44. Its data
// begins at byte 45 with its general information, whose first field is
// nv_pck_lbn: the pack's own sector number within its VOB set, 4 bytes big-endian.
inline constexpr std::int64_t kPciPacketOffset = 38;
inline constexpr std::int64_t kPciSubstreamOffset = 44;
inline constexpr unsigned char kPciSubstreamId = 0x00;
inline constexpr std::int64_t kNavPackLbnOffset = 45;
// The DSI packet, the second private_stream_2 packet, at byte 1024; its
// substream id 0x01 is byte 1030.
inline constexpr std::int64_t kDsiPacketOffset = 1024;
inline constexpr std::int64_t kDsiSubstreamOffset = 1030;
inline constexpr unsigned char kDsiSubstreamId = 0x01;
// The start codes, whole: pack header, system header, private_stream_2.
inline constexpr unsigned char kPackStartCode[4] = {0x00, 0x00, 0x01, 0xBA};
inline constexpr unsigned char kSystemHeaderStartCode[4] = {0x00, 0x00, 0x01, 0xBB};
inline constexpr unsigned char kPrivateStream2StartCode[4] = {0x00, 0x00, 0x01, 0xBF};

// A title set's title VOB set is spread over VTS_nn_1.VOB .. VTS_nn_9.VOB in
// that order (a new file at most every 1 GiB); title sets are numbered 1 to 99.
inline constexpr int kMaxTitleVobFiles = 9;
inline constexpr int kMaxTitleSets = 99;

}  // namespace vantrel::dvd
