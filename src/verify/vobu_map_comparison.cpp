#include "verify/vobu_map_comparison.h"

#include "dvd/nav_pack.h"

namespace vantrel::verify {
namespace {

// What the finding that counts the unlisted ones of a kind says after "and N more".
const char* unlistedText(FindingKind kind) {
    switch (kind) {
        case FindingKind::MissingPack:
            return "VOBUs without their NV_PCK in the copy";
        case FindingKind::PackOutOfOrder:
            return "NV_PCKs out of order";
        case FindingKind::StrayPack:
            return "sectors that are no VOBU's NV_PCK";
        case FindingKind::DamagedMap:
            return "problems with the map";
        case FindingKind::DamagedCopy:
            break;
    }
    return "problems with the copy's files";
}

std::string sectorOf(const std::string& file, std::int64_t sector) {
    return "sector " + std::to_string(sector) + " of " + file;
}

const char* const kNoNavPack =
    "not an NV_PCK (no PCI and DSI packets): video or audio data that matched the scanner's "
    "signature by chance";

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
                                     FindingList& findings)
    : m_map(map), m_tally(tally), m_findings(findings), m_found(map.size(), false) {
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

void VobuMapComparison::compare(const std::string& file, std::int64_t sectorInFile,
                                const unsigned char* sector) {
    const std::string where = sectorOf(file, sectorInFile);
    if (!dvd::isNavPack(sector)) return stray(where, kNoNavPack);
    const std::uint32_t lbn = dvd::navPackLbn(sector);
    const auto entry = m_indexOf.find(lbn);
    if (entry == m_indexOf.end())
        return stray(where,
                     "the NV_PCK of sector " + std::to_string(lbn) + ", where the map has no VOBU");
    const std::size_t index = entry->second;
    if (m_found[index]) return stray(where, "the NV_PCK of " + vobu(index) + " again");
    m_found[index] = true;
    ++m_tally.packsMatched;
    if (m_previous && index < *m_previous) {
        ++m_tally.outOfOrder;
        m_findings.add(
            FindingKind::PackOutOfOrder, 1,
            where + ": the NV_PCK of " + vobu(index) + " comes after that of " + vobu(*m_previous));
    }
    m_previous = index;
}

// A hole where the map has a VOBU leaves that VOBU missing: finish() counts it.
void VobuMapComparison::compareAt(const std::string& file, std::int64_t sectorInFile,
                                  std::int64_t address, const unsigned char* sector) {
    if (dvd::isHole(sector)) return;
    const std::string where = sectorOf(file, sectorInFile);
    if (!dvd::isNavPack(sector)) return stray(where, kNoNavPack);
    const std::uint32_t lbn = dvd::navPackLbn(sector);
    const auto entry = m_indexOf.find(lbn);
    if (entry == m_indexOf.end())
        return stray(where,
                     "the NV_PCK of sector " + std::to_string(lbn) + ", where the map has no VOBU");
    if (lbn != address)
        return stray(where, "the NV_PCK of " + vobu(entry->second) + ", away from its sector");
    m_found[entry->second] = true;
    ++m_tally.packsMatched;
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
