#pragma once

#include <string>

#include "support/temp_folder.h"

namespace vantrel::testing {

// A real DVD-Video folder authored with ffmpeg and dvdauthor
// (scripts/author-dvd.sh --title-set-menus), made once and kept between runs:
// VIDEO_TS with the video manager's menu, title set 1 with a menu and titles,
// title set 2 with titles.
struct AuthoredDisc {
    std::string root;     // the folder that holds VIDEO_TS
    std::string videoTs;  // root/VIDEO_TS
    // Why there is no disc (ffmpeg or dvdauthor missing); empty when there is one.
    std::string missing;
};

// The disc, authored at the first call.
const AuthoredDisc& authoredDisc();

enum class Reduction {
    // The sectors the scanner's rule takes: 01 BA at bytes 2-3, 01 BF at 40-41.
    ScannerRule,
    // The navigation packs alone, known by their system header (00 00 01 BB
    // at byte 14) and PCI packet (00 00 01 BF at byte 38): no chance matches.
    NavPacksOnly,
};

// The reduced copy of the DVD folder `from` in the existing folder `to`, made
// the plain way, without the engine: IFO and BUP files whole, each VOB reduced
// to the sectors that `reduction` takes.
void writeReducedCopy(const std::string& from, const std::string& to, Reduction reduction);

// The reduced VOB `packs` (navigation packs only) of the disc's VOB `vob` as
// a read failure and a chance match leave it: its third NV_PCK lost, and
// after its fourth a video sector of `vob` whose bytes 40-41 happen to read
// 01 BF, as the scanner's rule takes such a sector.
Bytes withLostPackAndChanceMatch(const Bytes& packs, const Bytes& vob);

// The number of sectors of `vob` that the scanner's rule takes but that are
// not navigation packs: chance matches of its signature.
std::size_t chanceMatches(const Bytes& vob);

}  // namespace vantrel::testing
