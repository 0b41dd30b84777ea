#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "dvd/ifo_reader.h"
#include "verify/copy_verification.h"

namespace vantrel::verify {

// A VOB set's findings: the first few of each kind are listed, and the rest
// are counted in one more, so that a copy of the wrong disc gives a readable
// report and not one line per sector.
class FindingList {
  public:
    static constexpr int kListedPerKind = 10;

    explicit FindingList(std::vector<Finding>& findings) : m_findings(findings) {}
    void add(FindingKind kind, std::int64_t count, std::string text);
    // Adds the findings that count the ones not listed.
    void close();

  private:
    static constexpr std::size_t kKinds = 5;
    std::vector<Finding>& m_findings;
    std::array<int, kKinds> m_listed{};
    std::array<std::int64_t, kKinds> m_unlisted{};
};

// One VOB set's copy, sector by sector in the order of its files, compared
// with the set's VOBU address map. Sectors that are VOBUs' NV_PCKs are known
// by the sector number each gives itself.
class VobuMapComparison {
  public:
    VobuMapComparison(const dvd::VobuMap& map, CheckTally& tally, FindingList& findings);

    void compare(const std::string& file, std::int64_t sectorInFile, const unsigned char* sector);
    // The same for a sparse copy, whose sector `address` of the VOB set must
    // be its VOBU's NV_PCK where the map lists one, and a hole elsewhere.
    void compareAt(const std::string& file, std::int64_t sectorInFile, std::int64_t address,
                   const unsigned char* sector);
    // The VOBUs no sector stood for are missing.
    void finish();

  private:
    void checkMapOrder();
    void stray(const std::string& where, const std::string& what);
    std::string vobu(std::size_t index) const;

    const dvd::VobuMap& m_map;
    CheckTally& m_tally;
    FindingList& m_findings;
    std::unordered_map<std::uint32_t, std::size_t> m_indexOf;  // first entry of each sector
    std::vector<bool> m_found;
    std::optional<std::size_t> m_previous;  // the VOBU of the last NV_PCK found
};

}  // namespace vantrel::verify
