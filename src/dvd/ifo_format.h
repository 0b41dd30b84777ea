#pragma once

#include <cstdint>
#include <string_view>

// Facts of the DVD-Video information files (IFO) that the check against the
// disc's own map relies on. Every number in an IFO is big-endian; addresses of
// tables are sector numbers within the IFO file itself (sectors of
// kSectorSize bytes, see dvd_format.h).
namespace vantrel::dvd::ifo {

// VIDEO_TS.IFO (the video manager) and each VTS_nn_0.IFO (a title set) open
// with a 12-byte identifier.
inline constexpr std::string_view kVideoManagerId = "DVDVIDEO-VMG";
inline constexpr std::string_view kTitleSetId = "DVDVIDEO-VTS";

// VIDEO_TS.IFO: the number of title sets on the disc, 2 bytes.
inline constexpr std::int64_t kTitleSetCountOffset = 0x3E;

// The sector, within the IFO, of each VOBU address map (4 bytes; 0 when the
// disc has no such VOB set, e.g. a title set without menus):
// VIDEO_TS.IFO: the video manager menu's (VMGM_VOBU_ADMAP, for VIDEO_TS.VOB);
inline constexpr std::int64_t kVideoManagerMenuMapOffset = 0xDC;
// VTS_nn_0.IFO: the title set menu's (VTSM_VOBU_ADMAP, for VTS_nn_0.VOB) and
// the titles' (VTS_VOBU_ADMAP, for VTS_nn_1.VOB .. VTS_nn_9.VOB).
inline constexpr std::int64_t kTitleSetMenuMapOffset = 0xDC;
inline constexpr std::int64_t kTitlesMapOffset = 0xE4;
// The header must reach at least this far to hold every field above.
inline constexpr std::int64_t kHeaderLength = 0xE8;

// A VOBU address map: its end address (4 bytes: the offset of its last byte
// from its first), then one 4-byte entry per video object unit: the sector,
// counted from the start of the VOB set, at which the VOBU and its NV_PCK begin.
inline constexpr std::int64_t kMapHeaderLength = 4;
inline constexpr std::int64_t kMapEntryLength = 4;

}  // namespace vantrel::dvd::ifo
