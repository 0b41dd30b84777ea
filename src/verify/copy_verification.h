#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_system.h"

// The check of a reduced copy against the disc's own map. Each IFO lists where
// every video object unit (VOBU) of its VOB sets begins, and every VOBU opens
// with a navigation pack that carries its own sector number: a whole copy
// holds, for every VOB set, one NV_PCK per VOBU of the map, in the map's
// order. Its other sectors are ones the scanner's rule keeps: video or audio
// data that matches its signature by chance, which the check notes and does
// not hold against the copy. A sparse copy holds each NV_PCK at the sector
// the map gives it, and holes elsewhere. With the disc at hand, each NV_PCK
// is also compared with the disc's own sector. The check only reports; the
// copy is never changed, and the scanner's rule stays what selects the packs.
namespace vantrel::verify {

// How a VOB set's copy holds its NV_PCKs: one after another (packed), or each
// at its own sector in files of the disc's VOBs' lengths, holes (sectors of
// zeros) elsewhere (sparse). Known by the holes: every sector of a packed
// copy opens with a pack start code.
enum class CopyKind { Packed, Sparse };

enum class FindingKind {
    // A VOBU of the map whose NV_PCK is not in the copy (e.g. after a read failure).
    MissingPack,
    // A VOBU's NV_PCK that comes after the NV_PCK of a VOBU the map lists later.
    PackOutOfOrder,
    // A note, not a loss: a sector of the copy that the scanner's rule keeps
    // but that is no VOBU's NV_PCK: video or audio data that matches its
    // signature by chance, a navigation pack the map does not list, one that
    // is there twice, or in a sparse copy one away from its own sector.
    StrayPack,
    // The map cannot be read, or is not sound: no IFO, a damaged or truncated
    // one, a map pointing past the end of its file, entries out of order.
    DamagedMap,
    // A VOB of the copy that cannot be read, or ends with a partial sector;
    // a source that cannot be read to compare the copy with.
    DamagedCopy,
    // A VOBU's NV_PCK that is not as the disc has it: completed with zeros
    // because its source ended early, bytes that differ from the source's,
    // a pack without its DSI packet.
    DamagedPack,
    // A sector the scanner's rule would not keep: no 01 BA at bytes 2-3 and
    // 01 BF at bytes 40-41.
    ForeignSector,
};

// Whether a finding is only a note: the copy is whole all the same.
inline bool isNote(FindingKind kind) { return kind == FindingKind::StrayPack; }

struct Finding {
    FindingKind kind;
    // The VOBUs or sectors it is about: a run of missing VOBUs is one finding,
    // and beyond a few findings of a kind per VOB set, one more counts the rest.
    std::int64_t count = 1;
    // One line. Sectors are counted from 0 in their file ("sector 3 of the
    // copy's VTS_01_1.VOB" begins at byte 6144); VOBUs from 1 in the map's
    // order, with their sector within the VOB set.
    std::string text;
};

// Counts of one VOB set, or of the whole copy.
struct CheckTally {
    std::int64_t vobus = 0;          // VOBUs the maps list
    std::int64_t packsMatched = 0;   // VOBUs whose NV_PCK is in the copy, whole
    std::int64_t missing = 0;        // VOBUs whose NV_PCK is not
    std::int64_t outOfOrder = 0;     // NV_PCKs after a later VOBU's
    std::int64_t strays = 0;         // sectors the rule keeps that are no VOBU's NV_PCK
    std::int64_t problems = 0;       // maps or copy files that could not be read whole
    std::int64_t chanceMatches = 0;  // strays that are no NV_PCK at all
    std::int64_t damaged = 0;        // VOBUs whose NV_PCK is in the copy, not whole
    std::int64_t foreign = 0;        // sectors the scanner's rule would not keep

    // Nothing lost: every VOBU's NV_PCK whole and in order, every map read,
    // every other sector one the rule keeps.
    bool whole() const {
        return missing == 0 && outOfOrder == 0 && problems == 0 && damaged == 0 && foreign == 0;
    }
};

struct VobSetCheck {
    // "VIDEO_TS menu", "VTS_01 menu", "VTS_01 titles".
    std::string name;
    // The IFO whose map it was checked against, as the folder spells it (or
    // as it should be named, when it is missing).
    std::string ifo;
    // The copy's VOB files of this set, in their order in the set.
    std::vector<std::string> files;
    CheckTally tally;
    std::vector<Finding> findings;
    CopyKind kind = CopyKind::Packed;  // as its files were found to hold it
};

struct CopyCheck {
    // In the disc's order: the video manager's menus, then each title set's
    // menus and titles.
    std::vector<VobSetCheck> sets;
    // Each NV_PCK was compared with the disc's own sector.
    bool againstSource = false;
    // A VOB whose first sectors show the folder to be a disc's own video, not
    // a reduced copy; empty otherwise. Its sectors that the rule would not
    // keep are counted, not listed.
    std::string discVideo;

    CheckTally total() const;
    // Sparse when the files of a VOB set are.
    CopyKind kind() const;
    // Nothing lost; notes allowed (see CheckTally::whole).
    bool passed() const { return total().whole(); }
    // Nothing found, not even a note: every VOBU's NV_PCK is there, once, in
    // order (and as the disc has it, when compared), and nothing else.
    bool completeAndExact() const { return passed() && total().strays == 0; }
};

// The disc a copy was made from: its VOB files in `folder` of `files`.
struct SourceFolder {
    platform::FileSystem& files;
    std::string folder;
};

// Checks the reduced copy in `folder` (its IFOs and its NV_PCK-only VOBs,
// names in any letter case, packed or sparse) against the VOBU address maps
// of its IFOs: a packed copy by the order of its packs, a sparse one by the
// sector each stands at. Every
// problem with the IFOs or the copy's files is a finding of its VOB set: a
// folder without IFOs is checked, and found wanting, like any other. Throws
// Failure only when the folder itself cannot be listed. With `source`, each
// NV_PCK is compared with its sector of the source's VOB set, and each chance
// match is found there.
CopyCheck verifyCopy(platform::FileSystem& files, const std::string& folder,
                     const SourceFolder* source = nullptr);

}  // namespace vantrel::verify
