#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_system.h"

// The check of a reduced copy against the disc's own map. Each IFO lists where
// every video object unit (VOBU) of its VOB sets begins, and every VOBU opens
// with a navigation pack that carries its own sector number: a complete and
// exact copy holds, for every VOB set, one NV_PCK per VOBU of the map, in the
// map's order, and nothing else. A sparse copy holds each at the sector the
// map gives it and holes elsewhere. The check only reports; the copy is never
// changed, and the scanner's rule stays what selects the packs.
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
    // A sector of the copy that is no VOBU's NV_PCK: video or audio data that
    // matched the scanner's signature by chance, a navigation pack the map does
    // not list, or one that is there twice (in a sparse copy: any sector but a
    // hole away from its VOBU's address).
    StrayPack,
    // The map cannot be read, or is not sound: no IFO, a damaged or truncated
    // one, a map pointing past the end of its file, entries out of order.
    DamagedMap,
    // A VOB of the copy that cannot be read, or ends with a partial sector.
    DamagedCopy,
};

struct Finding {
    FindingKind kind;
    // The VOBUs or sectors it is about: a run of missing VOBUs is one finding,
    // and beyond a few findings of a kind per VOB set, one more counts the rest.
    std::int64_t count = 1;
    // One line. Sectors of the copy are counted from 0 in their file ("sector
    // 3 of VTS_01_1.VOB" begins at byte 6144); VOBUs from 1 in the map's order,
    // with their sector within the VOB set.
    std::string text;
};

// Counts of one VOB set, or of the whole copy.
struct CheckTally {
    std::int64_t vobus = 0;         // VOBUs the maps list
    std::int64_t packsMatched = 0;  // VOBUs whose NV_PCK is in the copy
    std::int64_t missing = 0;       // VOBUs whose NV_PCK is not
    std::int64_t outOfOrder = 0;    // NV_PCKs after a later VOBU's
    std::int64_t strays = 0;        // sectors of the copy that are no VOBU's NV_PCK
    std::int64_t problems = 0;      // maps or copy files that could not be read whole
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

    CheckTally total() const;
    // Sparse when the files of a VOB set are.
    CopyKind kind() const;
    // Nothing found: every VOBU's NV_PCK is there, once, in order, and nothing else.
    bool completeAndExact() const;
};

// Checks the reduced copy in `folder` (its IFOs and its NV_PCK-only VOBs,
// names in any letter case, packed or sparse) against the VOBU address maps
// of its IFOs: a packed copy by the order of its packs, a sparse one by the
// address of each. Every
// problem with the IFOs or the copy's files is a finding of its VOB set: a
// folder without IFOs is checked, and found wanting, like any other. Throws
// Failure only when the folder itself cannot be listed.
CopyCheck verifyCopy(platform::FileSystem& files, const std::string& folder);

}  // namespace vantrel::verify
