#include "verify/vobu_map_comparison.h"

#include <array>
#include <cstring>

#include "dvd/nav_pack.h"

namespace vantrel::verify {
namespace {

using Sector = std::array<unsigned char, dvd::kSectorSize>;

// What the finding that counts the unlisted ones of a kind says after "and N more".
const char* unlistedText(FindingKind kind) {
    switch (kind) {
        case FindingKind::MissingPack:
            return "VOBUs without their NV_PCK in the copy";
        case FindingKind::PackOutOfOrder:
            return "NV_PCKs out of order";
        case FindingKind::StrayPack:
            return "sectors kept by the scanner's rule that are no VOBU's NV_PCK";
        case FindingKind::DamagedMap:
            return "problems with the map";
        case FindingKind::DamagedPack:
            return "damaged NV_PCKs";
        case FindingKind::ForeignSector:
            return "sectors the scanner's rule would not keep";
        case FindingKind::DamagedCopy:
            break;
    }
    return "problems with the copy's files";
}

std::string copySector(const std::string& file, std::int64_t sector) {
    return "sector " + std::to_string(sector) + " of the copy's " + file;
}

// Where the zeros that end `sector` begin; the sector's size when its last byte is not 0.
std::size_t trailingZerosFrom(const unsigned char* sector) {
    std::size_t from = dvd::kSectorSize;
    while (from > 0 && sector[from - 1] == 0) --from;
    return from;
}

const char* const kChanceMatch =
    "a chance match, video or audio data that matches the scanner's signature and is kept by "
    "its rule";

}  // namespace

void FindingList::add(FindingKind kind, std::int64_t count, std::string text) {
    const auto k = static_cast<std::size_t>(kind);
    if (m_listed[k] < kListedPerKind) {
        ++m_listed[k];
        m_findings.push_back({kind, count, std::move(text)});
    } else {
        m_unlisted[k] += count;
    }
}

void FindingList::close() {
    for (std::size_t k = 0; k < kKinds; ++k) {
        if (m_unlisted[k] == 0) continue;
        const auto kind = static_cast<FindingKind>(k);
        m_findings.push_back(
            {kind, m_unlisted[k],
             "and " + std::to_string(m_unlisted[k]) + " more " + unlistedText(kind)});
        m_unlisted[k] = 0;
    }
}

VobuMapComparison::VobuMapComparison(const dvd::VobuMap& map, CheckTally& tally,
                                     FindingList& findings, SourceVobSet* source, bool listForeign)
    : m_map(map),
      m_tally(tally),
      m_findings(findings),
      m_source(source),
      m_listForeign(listForeign),
      m_found(map.size(), false) {
    m_tally.vobus += std::int64_t(map.size());
    m_indexOf.reserve(map.size());
    for (std::size_t i = 0; i < map.size(); ++i) m_indexOf.emplace(map[i], i);
    checkMapOrder();
}

// A sound map lists each VOBU once, in the order of their sectors.
void VobuMapComparison::checkMapOrder() {
    for (std::size_t i = 1; i < m_map.size(); ++i) {
        if (m_map[i] > m_map[i - 1]) continue;
        ++m_tally.problems;
        m_findings.add(FindingKind::DamagedMap, 1,
                       "the map's entry for " + vobu(i) + " does not come after " + vobu(i - 1));
    }
}

std::string VobuMapComparison::vobu(std::size_t index) const {
    return "VOBU " + std::to_string(index + 1) + " (sector " + std::to_string(m_map[index]) + ")";
}

void VobuMapComparison::stray(const std::string& where, const std::string& what) {
    ++m_tally.strays;
    m_findings.add(FindingKind::StrayPack, 1, where + ": " + what);
}

// A sector that a VOBU's NV_PCK stands for, whole or not, is known by the
// sector number it gives itself; a damaged one only while its VOBU is still
// missing, which a chance match's bytes there hardly ever name.
void VobuMapComparison::compare(const std::string& file, std::int64_t sectorInFile,
                                const unsigned char* sector, bool last,
                                std::optional<std::int64_t> address) {
    if (address && dvd::isHole(sector)) return;
    const std::string where = copySector(file, sectorInFile);
    if (!dvd::keptByScannerRule(sector)) {
        ++m_tally.foreign;
        if (m_listForeign)
            m_findings.add(FindingKind::ForeignSector, 1,
                           where +
                               ": not kept by the scanner's rule (no 01 BA at bytes 2-3 and 01 BF "
                               "at bytes 40-41)");
        return;
    }
    const auto entry = m_indexOf.find(dvd::navPackLbn(sector));
    const bool listed = entry != m_indexOf.end();
    // A sparse copy's NV_PCK stands at the sector it names.
    const bool inPlace = !address || dvd::navPackLbn(sector) == *address;
    if (dvd::isNavPack(sector)) {
        if (!listed)
            return stray(where, "the NV_PCK of sector " + std::to_string(dvd::navPackLbn(sector)) +
                                    ", where the map has no VOBU");
        if (m_found[entry->second])
            return stray(where, "the NV_PCK of " + vobu(entry->second) + " again");
        if (!inPlace) return stray(where, "the NV_PCK of " + vobu(entry->second) + ", elsewhere");
        return navPack(entry->second, where, sector);
    }
    if (dvd::opensAsNavPack(sector) && listed && !m_found[entry->second] && inPlace)
        return damagedPack(entry->second, where, sector, last);
    chanceMatch(where, sector);
}

void VobuMapComparison::place(std::size_t index, const std::string& where) {
    m_found[index] = true;
    if (m_previous && index < *m_previous) {
        ++m_tally.outOfOrder;
        m_findings.add(
            FindingKind::PackOutOfOrder, 1,
            where + ": the NV_PCK of " + vobu(index) + " comes after that of " + vobu(*m_previous));
    }
    m_previous = index;
}

void VobuMapComparison::navPack(std::size_t index, const std::string& where,
                                const unsigned char* sector) {
    place(index, where);
    const std::string difference = sourceDifference(index, sector);
    if (difference.empty()) {
        ++m_tally.packsMatched;
        return;
    }
    ++m_tally.damaged;
    m_findings.add(FindingKind::DamagedPack, 1,
                   where + ": the NV_PCK of " + vobu(index) + ", " + difference);
}

// A pack without its DSI packet: a scan that met the end of its source within
// the pack completed it with zeros, so that its output holds whole sectors.
void VobuMapComparison::damagedPack(std::size_t index, const std::string& where,
                                    const unsigned char* sector, bool last) {
    place(index, where);
    ++m_tally.damaged;
    std::string what = sourceDifference(index, sector);
    const std::size_t zeros = trailingZerosFrom(sector);
    if (what.empty() && last && zeros < std::size_t(dvd::kSectorSize))
        what = "ends in zeros from byte " + std::to_string(zeros) +
               " on: completed with zeros because its source ended early";
    if (what.empty()) what = "not whole: it has no DSI packet";
    m_findings.add(FindingKind::DamagedPack, 1,
                   where + ": the NV_PCK of " + vobu(index) + ", " + what);
}

std::string VobuMapComparison::sourceDifference(std::size_t index, const unsigned char* sector) {
    if (m_source == nullptr) return "";
    Sector original{};
    std::size_t length = 0;
    try {
        length = m_source->read(m_map[index], original.data());
    } catch (const std::exception& failure) {
        sourceFailed(failure);
        return "";
    }
    const std::string there = m_source->where(m_map[index]);
    if (length == 0) return "not in the source, which ends before " + there;
    for (std::size_t byte = 0; byte < length; ++byte) {
        if (sector[byte] != original[byte])
            return "differs from " + there + " of the source from byte " + std::to_string(byte) +
                   " on";
    }
    if (length == std::size_t(dvd::kSectorSize)) return "";
    if (trailingZerosFrom(sector) <= length)
        return "completed with zeros from byte " + std::to_string(length) +
               " on: its source ends there, " + std::to_string(length) + " bytes into " + there;
    return "differs from the source after its end, " + std::to_string(length) + " bytes into " +
           there;
}

void VobuMapComparison::sourceFailed(const std::exception& failure) {
    ++m_tally.problems;
    m_findings.add(FindingKind::DamagedCopy, 1,
                   std::string("cannot compare with the source: ") + failure.what());
    m_source = nullptr;
}

// Between the NV_PCK found last and its VOBU's successor in the map is where
// the copy places it; the source, when at hand, tells the very sector.
void VobuMapComparison::chanceMatch(const std::string& where, const unsigned char* sector) {
    ++m_tally.chanceMatches;
    const std::size_t next = m_previous ? *m_previous + 1 : 0;
    const std::string before = next < m_map.size() ? vobu(next) : "the set's end";
    if (const auto found = sourceSectorOf(m_previous, sector)) {
        const std::string within = m_previous ? "in " + vobu(*m_previous) : "before " + before;
        return stray(m_source->where(*found) + ", " + within + ", is " + where, kChanceMatch);
    }
    const std::string between = where + ", between " +
                                (m_previous ? vobu(*m_previous) : "the set's start") + " and " +
                                before;
    stray(between, m_source == nullptr
                       ? kChanceMatch
                       : "kept by the scanner's rule, but no sector of the source there");
}

std::optional<std::int64_t> VobuMapComparison::sourceSectorOf(std::optional<std::size_t> after,
                                                              const unsigned char* sector) {
    if (m_source == nullptr) return std::nullopt;
    const std::int64_t first = after ? std::int64_t(m_map[*after]) + 1 : 0;
    const std::size_t next = after ? *after + 1 : 0;
    Sector candidate{};
    try {
        // Up to the next VOBU, or to the set's end after the last.
        for (std::int64_t at = first; next >= m_map.size() || at < std::int64_t(m_map[next]);
             ++at) {
            const std::size_t length = m_source->read(at, candidate.data());
            if (length == 0) break;
            if (std::memcmp(candidate.data(), sector, length) == 0) return at;
        }
    } catch (const std::exception& failure) {
        sourceFailed(failure);
    }
    return std::nullopt;
}

// Each run of VOBUs in a row without their NV_PCK is one finding.
void VobuMapComparison::finish() {
    for (std::size_t first = 0; first < m_found.size();) {
        if (m_found[first]) {
            ++first;
            continue;
        }
        std::size_t last = first;
        while (last + 1 < m_found.size() && !m_found[last + 1]) ++last;
        const auto count = std::int64_t(last - first + 1);
        m_tally.missing += count;
        m_findings.add(
            FindingKind::MissingPack, count,
            (count == 1 ? vobu(first) : vobu(first) + " to " + vobu(last)) + ": not in the copy");
        first = last + 1;
    }
}

}  // namespace vantrel::verify
