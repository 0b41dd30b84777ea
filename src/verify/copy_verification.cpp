#include "verify/copy_verification.h"

#include <array>
#include <map>
#include <memory>
#include <optional>
#include <set>

#include "dvd/dvd_format.h"
#include "dvd/nav_pack.h"
#include "platform/binary_file.h"
#include "platform/failure.h"
#include "platform/paths.h"
#include "verify/ifo_file.h"
#include "verify/source_vob_set.h"
#include "verify/vobu_map_comparison.h"

namespace vantrel::verify {
namespace {

using dvd::VobuMap;
using dvd::VobuMapKind;

std::string upper(std::string name) {
    for (char& c : name) {
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    }
    return name;
}

// "VTS_07_" for title set 7.
std::string titleSetPrefix(int titleSet) {
    return std::string("VTS_") + char('0' + titleSet / 10 % 10) + char('0' + titleSet % 10) + "_";
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The title set that a name in capitals such as "VTS_07_1.VOB" belongs to; 0 for other names.
int titleSetOf(const std::string& name) {
    if (name.size() != 12 || name.compare(0, 4, "VTS_") != 0 || !isDigit(name[4]) ||
        !isDigit(name[5]) || name[6] != '_' || !isDigit(name[7]) || name[8] != '.')
        return 0;
    const std::string ending = name.substr(9);
    if (ending != "IFO" && ending != "BUP" && ending != "VOB") return 0;
    return (name[4] - '0') * 10 + (name[5] - '0');
}

// The copy's plain files, found by their names in capitals: a copy made from
// a disc whose names are in small letters is checked all the same.
class CopyFolder {
  public:
    CopyFolder(platform::FileSystem& files, const std::string& folder) : m_folder(folder) {
        const auto entries = files.readFolder(folder);
        if (!entries)
            platform::throwSystemFailure("cannot list", folder, files.folderError(folder));
        for (const platform::FolderEntry& entry : *entries) {
            // Of two names that differ only in letter case, the capitals win.
            if (entry.kind == platform::EntryKind::PlainFile &&
                (m_names.count(upper(entry.name)) == 0 || entry.name == upper(entry.name)))
                m_names[upper(entry.name)] = entry.name;
        }
    }
    std::optional<std::string> find(const std::string& upperName) const {
        const auto found = m_names.find(upperName);
        return found == m_names.end() ? std::nullopt : std::optional(found->second);
    }
    std::string path(const std::string& name) const { return platform::joinPath(m_folder, name); }

    // Title sets that files of the copy belong to: VTS_nn_m.IFO, .BUP or .VOB.
    std::set<int> titleSetsNamed() const {
        std::set<int> found;
        for (const auto& [name, spelt] : m_names) {
            if (const int number = titleSetOf(name); number > 0) found.insert(number);
        }
        return found;
    }

  private:
    std::string m_folder;
    std::map<std::string, std::string> m_names;
};

// One VOB set to check: where its map is and which files of the copy hold it.
struct VobSetPlace {
    std::string name;
    const char* what;  // "menu" or "title"
    std::string ifo;   // in capitals
    VobuMapKind kind;
    std::vector<std::string> vobs;  // in capitals, in the set's order
};

std::vector<VobSetPlace> vobSetPlaces(const CopyFolder& copy, platform::FileSystem& files) {
    std::vector<VobSetPlace> places{
        {"VIDEO_TS menu", "menu", "VIDEO_TS.IFO", VobuMapKind::VideoManagerMenu, {"VIDEO_TS.VOB"}}};
    std::set<int> titleSets = copy.titleSetsNamed();
    if (const auto manager = copy.find("VIDEO_TS.IFO")) {
        try {
            const int count = readTitleSetCount(files, copy.path(*manager));
            for (int n = 1; n <= count && n <= dvd::kMaxTitleSets; ++n) titleSets.insert(n);
        } catch (const std::exception&) {
            // The video manager's own VOB set reports why it cannot be read.
        }
    }
    for (const int n : titleSets) {
        const std::string prefix = titleSetPrefix(n);
        const std::string set = prefix.substr(0, 6);  // "VTS_07"
        places.push_back({set + " menu",
                          "menu",
                          prefix + "0.IFO",
                          VobuMapKind::TitleSetMenu,
                          {prefix + "0.VOB"}});
        VobSetPlace titles{set + " titles", "title", prefix + "0.IFO", VobuMapKind::Titles, {}};
        for (int part = 1; part <= dvd::kMaxTitleVobFiles; ++part)
            titles.vobs.push_back(prefix + std::to_string(part) + ".VOB");
        places.push_back(titles);
    }
    return places;
}

// Feeds the copy's sectors of `name` to the comparison; a file that cannot be
// read whole is a finding, and what was read of it still counts. In a sparse
// copy, `address` is the VOB set's sector that the file's first sector stands
// for, and is moved on past the file.
void compareFile(platform::FileSystem& files, const CopyFolder& copy, const std::string& name,
                 VobuMapComparison& comparison, VobSetCheck& set, FindingList& findings,
                 std::int64_t* address) {
    platform::BinaryFile file(files);
    std::array<unsigned char, dvd::kSectorSize> sector{};
    try {
        const std::int64_t length = files.fileLength(copy.path(name));
        file.openForReading(copy.path(name));
        const std::int64_t sectors = length / dvd::kSectorSize;
        for (std::int64_t i = 0; i < sectors; ++i) {
            if (file.readAt(i * dvd::kSectorSize + 1, sector.data(), sector.size()) < sector.size())
                throw platform::Failure("cannot read '" + copy.path(name) +
                                        "': the file ends unexpectedly");
            comparison.compare(name, i, sector.data(), i + 1 == sectors,
                               address ? std::optional(*address + i) : std::nullopt);
        }
        if (address) *address += sectors;
        if (length % dvd::kSectorSize != 0) {
            ++set.tally.problems;
            findings.add(FindingKind::DamagedCopy, 1,
                         name + " ends with " + std::to_string(length % dvd::kSectorSize) +
                             " bytes that are not a whole sector");
        }
    } catch (const std::exception& failure) {
        ++set.tally.problems;
        findings.add(FindingKind::DamagedCopy, 1, failure.what());
    }
    file.closeQuietly();
}

// Sparse when a file of the set holds a hole, which no sector of a packed
// copy is; looked for up to the first one. Files that cannot be read are
// compareFile's to report.
CopyKind kindOf(platform::FileSystem& files, const CopyFolder& copy,
                const std::vector<std::string>& names) {
    std::array<unsigned char, dvd::kSectorSize> sector{};
    for (const std::string& name : names) {
        try {
            platform::BinaryFile file(files);
            file.openForReading(copy.path(name));
            for (std::int64_t at = 1;
                 file.readAt(at, sector.data(), sector.size()) == sector.size();
                 at += dvd::kSectorSize) {
                if (dvd::isHole(sector.data())) return CopyKind::Sparse;
            }
        } catch (const std::exception&) {
        }
    }
    return CopyKind::Packed;
}

// The map of `place`, or the finding that says why there is none to check
// against. Nothing without a finding when the disc has no such VOB set.
std::optional<VobuMap> mapOf(platform::FileSystem& files, const CopyFolder& copy,
                             const VobSetPlace& place, VobSetCheck& set, FindingList& findings) {
    const auto ifo = copy.find(place.ifo);
    std::optional<VobuMap> map;
    try {
        if (!ifo) throw platform::Failure("no " + place.ifo + " in the copy");
        set.ifo = *ifo;
        map = readVobuMap(files, copy.path(*ifo), place.kind);
    } catch (const std::exception& failure) {
        ++set.tally.problems;
        findings.add(FindingKind::DamagedMap, 1, failure.what());
        return std::nullopt;
    }
    // Every title set has titles; menus are optional.
    if (!map && (place.kind == VobuMapKind::Titles || !set.files.empty())) {
        ++set.tally.problems;
        findings.add(FindingKind::DamagedMap, 1,
                     set.ifo + " lists no " + place.what + " VOBU address map" +
                         (set.files.empty() ? "" : ", yet the copy has " + set.files.front()));
    }
    return map;
}

// The source's files of the set, as the copy names them: the copy's
// VTS_01_2.VOB was made from the source's.
std::unique_ptr<SourceVobSet> sourceSetOf(const SourceFolder* source, const VobSetPlace& place) {
    if (source == nullptr) return nullptr;
    const CopyFolder folder(source->files, source->folder);
    std::vector<std::string> names;
    for (const std::string& vob : place.vobs) {
        if (const auto found = folder.find(vob)) names.push_back(*found);
    }
    return std::make_unique<SourceVobSet>(source->files, source->folder, names);
}

// What a check of one VOB set goes by.
struct SetInputs {
    platform::FileSystem& files;
    const CopyFolder& copy;
    const SourceFolder* source;
    bool listForeign;
};

// The copy's sectors of the set against its map, and against the source's
// when there is one; a source that cannot be listed or measured is a finding.
void compareVobSet(const SetInputs& in, const VobSetPlace& place, const VobuMap& map,
                   VobSetCheck& set, FindingList& findings) {
    std::unique_ptr<SourceVobSet> source;
    try {
        source = sourceSetOf(in.source, place);
    } catch (const std::exception& failure) {
        ++set.tally.problems;
        findings.add(FindingKind::DamagedCopy, 1,
                     std::string("cannot compare with the source: ") + failure.what());
    }
    set.kind = kindOf(in.files, in.copy, set.files);
    VobuMapComparison comparison(map, set.tally, findings, source.get(), in.listForeign);
    std::int64_t address = 0;
    for (const std::string& name : set.files)
        compareFile(in.files, in.copy, name, comparison, set, findings,
                    set.kind == CopyKind::Sparse ? &address : nullptr);
    comparison.finish();
}

// Nothing when the disc has no such VOB set and the copy none of its files.
std::optional<VobSetCheck> checkVobSet(const SetInputs& in, const VobSetPlace& place) {
    VobSetCheck set{place.name, place.ifo, {}, {}, {}};
    for (const std::string& vob : place.vobs) {
        if (const auto found = in.copy.find(vob)) set.files.push_back(*found);
    }
    FindingList findings(set.findings);
    const std::optional<VobuMap> map = mapOf(in.files, in.copy, place, set, findings);
    // A title set's menus are optional: without a map that lists them, they
    // are looked for only when the copy has their VOB (a damaged IFO is the
    // titles' finding).
    const bool optional = place.kind == VobuMapKind::TitleSetMenu && set.files.empty();
    if (!map && (optional || set.findings.empty())) return std::nullopt;
    if (map) compareVobSet(in, place, *map, set, findings);
    findings.close();
    return set;
}

// The first VOB of the copy whose first sectors hold one that the scanner's
// rule would not keep, as a disc's own video does, and that is no hole of a
// sparse copy; empty when there is none. One that cannot be read is its
// set's finding.
std::string discVideoIn(platform::FileSystem& files, const CopyFolder& copy,
                        const std::vector<VobSetPlace>& places) {
    std::array<unsigned char, dvd::kSectorSize> sector{};
    for (const VobSetPlace& place : places) {
        for (const std::string& vob : place.vobs) {
            const auto name = copy.find(vob);
            if (!name) continue;
            platform::BinaryFile file(files);
            try {
                file.openForReading(copy.path(*name));
                for (std::int64_t i = 0; i < dvd::kSectorsTellingDiscVideo; ++i) {
                    if (file.readAt(i * dvd::kSectorSize + 1, sector.data(), sector.size()) <
                        sector.size())
                        break;
                    if (!dvd::keptByScannerRule(sector.data()) && !dvd::isHole(sector.data()))
                        return *name;
                }
            } catch (const std::exception&) {
            }
            file.closeQuietly();
        }
    }
    return "";
}

}  // namespace

CheckTally CopyCheck::total() const {
    CheckTally total;
    for (const VobSetCheck& set : sets) {
        total.vobus += set.tally.vobus;
        total.packsMatched += set.tally.packsMatched;
        total.missing += set.tally.missing;
        total.outOfOrder += set.tally.outOfOrder;
        total.strays += set.tally.strays;
        total.problems += set.tally.problems;
        total.chanceMatches += set.tally.chanceMatches;
        total.damaged += set.tally.damaged;
        total.foreign += set.tally.foreign;
    }
    return total;
}

CopyKind CopyCheck::kind() const {
    for (const VobSetCheck& set : sets) {
        if (set.kind == CopyKind::Sparse) return CopyKind::Sparse;
    }
    return CopyKind::Packed;
}

CopyCheck verifyCopy(platform::FileSystem& files, const std::string& folder,
                     const SourceFolder* source) {
    const CopyFolder copy(files, folder);
    const std::vector<VobSetPlace> places = vobSetPlaces(copy, files);
    CopyCheck check;
    check.againstSource = source != nullptr;
    // A disc's own video is said once, not sector by sector.
    check.discVideo = discVideoIn(files, copy, places);
    const SetInputs inputs{files, copy, source, check.discVideo.empty()};
    for (const VobSetPlace& place : places) {
        if (auto set = checkVobSet(inputs, place)) check.sets.push_back(std::move(*set));
    }
    return check;
}

}  // namespace vantrel::verify
