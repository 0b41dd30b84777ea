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
#include "verify/source_vob_set.h"

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
    static constexpr std::size_t kKinds = 7;
    std::vector<Finding>& m_findings;
    std::array<int, kKinds> m_listed{};
    std::array<std::int64_t, kKinds> m_unlisted{};
};

// One VOB set's copy, sector by sector in the order of its files, compared
// with the set's VOBU address map. Sectors that are VOBUs' NV_PCKs are known
// by the sector number each gives itself; the others are placed between the
// NV_PCKs around them.
class VobuMapComparison {
  public:
    // With `source`, the set as the disc has it, each NV_PCK is compared with
    // its sector there byte for byte, and a chance match is found there.
    // Sectors the scanner's rule would not keep are counted, and listed only
    // with `listForeign`.
    VobuMapComparison(const dvd::VobuMap& map, CheckTally& tally, FindingList& findings,
                      SourceVobSet* source, bool listForeign);

    // `last`: the sector is its file's last, where a pack cut short ends.
    // `address`: in a sparse copy, the set's sector that this one stands at,
    // where only its VOBU's NV_PCK belongs; a hole is nothing there.
    void compare(const std::string& file, std::int64_t sectorInFile, const unsigned char* sector,
                 bool last, std::optional<std::int64_t> address = std::nullopt);
    // The VOBUs no sector stood for are missing.
    void finish();

  private:
    void checkMapOrder();
    // The NV_PCK of VOBU `index`, whole or damaged, in its place in the order.
    void place(std::size_t index, const std::string& where);
    void navPack(std::size_t index, const std::string& where, const unsigned char* sector);
    void damagedPack(std::size_t index, const std::string& where, const unsigned char* sector,
                     bool last);
    void chanceMatch(const std::string& where, const unsigned char* sector);
    void stray(const std::string& where, const std::string& what);
    // How the pack of VOBU `index` differs from the source's sector; empty
    // when it does not, or there is no source.
    std::string sourceDifference(std::size_t index, const unsigned char* sector);
    // The source's sector between the NV_PCKs of `after` and the next VOBU
    // that holds the same bytes as `sector`.
    std::optional<std::int64_t> sourceSectorOf(std::optional<std::size_t> after,
                                               const unsigned char* sector);
    // A source that cannot be read is one finding, then no longer read.
    void sourceFailed(const std::exception& failure);
    std::string vobu(std::size_t index) const;

    const dvd::VobuMap& m_map;
    CheckTally& m_tally;
    FindingList& m_findings;
    SourceVobSet* m_source;
    bool m_listForeign;
    std::unordered_map<std::uint32_t, std::size_t> m_indexOf;  // first entry of each sector
    std::vector<bool> m_found;
    std::optional<std::size_t> m_previous;  // the VOBU of the last NV_PCK found
};

}  // namespace vantrel::verify
