#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "support/temp_folder.h"

namespace vantrel::testing {

inline constexpr std::size_t kSector = 2048;

enum class Pack { Navigation, Video, Audio };

// One 2048-byte pack of the given kind: pack header 00 00 01 BA, then for a
// navigation pack the system header and the PCI packet's 00 00 01 BF at bytes
// 38-41, for the others a PES packet (E0 video, C0 audio) at byte 14. The rest
// is filled from `seed`.
Bytes makePack(Pack kind, std::uint32_t seed);

// A navigation pack in full, as a disc has it: pack header, system header, the
// PCI packet (substream 0x00) giving `lbn` as its sector number, and the DSI
// packet (substream 0x01) at byte 1024.
Bytes makeNavPack(std::uint32_t lbn);

// A VOB-like run of packs: a navigation pack every `navEvery` packs, starting
// with the first, video packs between.
Bytes makeVob(std::size_t packs, std::size_t navEvery, std::uint32_t seed);

// `count` sectors of `vob` from sector `first` on.
Bytes sectors(const Bytes& vob, std::size_t first, std::size_t count);

// What the extraction must make of `vob`, computed the plain way: every whole
// or partial sector whose bytes 2-3 are 01 BA and 40-41 are 01 BF, padded with
// zeros to 2048 bytes.
Bytes expectedNavPacks(const Bytes& vob);

// A DVD-like folder: VIDEO_TS.IFO/.BUP/.VOB and `titleSets` title sets, each
// with its IFO and BUP and `titleVobs` VOBs of `packsPerVob` packs.
void makeDvdFolder(const std::string& folder, int titleVobs, std::size_t packsPerVob,
                   int titleSets = 1);

// The same files, each handed to `write` (the folder is there already).
using FileWriter = std::function<void(const std::string& path, const Bytes& content)>;
void makeDvdFolder(const FileWriter& write, const std::string& folder, int titleVobs,
                   std::size_t packsPerVob, int titleSets = 1);

}  // namespace vantrel::testing
