// The check of a reduced copy against the disc's own map, on copies of a real
// authored disc: whole, with packs lost, added and swapped, and with its IFOs
// damaged in the ways a hostile or broken copy has them.

#include "verify/copy_verification.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "platform/failure.h"
#include "platform/file_system_posix.h"
#include "support/authored_disc.h"
#include "support/dvd_generator.h"
#include "support/temp_folder.h"
#include "verify/ifo_file.h"

namespace vantrel::testing {
namespace {

using verify::CopyCheck;
using verify::FindingKind;
using verify::VobSetCheck;

class CopyVerificationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!disc.missing.empty()) GTEST_SKIP() << disc.missing;
        makeFolder(copy);
        writeReducedCopy(disc.videoTs, copy, Reduction::NavPacksOnly);
    }
    std::string at(const std::string& name) const { return copy + "/" + name; }
    CopyCheck check() { return verify::verifyCopy(files, copy); }
    static const VobSetCheck& set(const CopyCheck& check, const std::string& name) {
        const auto found = std::find_if(check.sets.begin(), check.sets.end(),
                                        [&](const VobSetCheck& set) { return set.name == name; });
        if (found == check.sets.end()) throw std::runtime_error("no VOB set " + name);
        return *found;
    }
    static std::vector<std::string> texts(const VobSetCheck& set) {
        std::vector<std::string> texts;
        for (const auto& finding : set.findings) texts.push_back(finding.text);
        return texts;
    }
    std::string vobu(const std::string& ifo, dvd::VobuMapKind kind, std::size_t index) {
        const auto map = verify::readVobuMap(files, at(ifo), kind);
        return "VOBU " + std::to_string(index + 1) + " (sector " + std::to_string(map->at(index)) +
               ")";
    }

    const AuthoredDisc& disc = authoredDisc();
    platform::PosixFileSystem files;
    TempFolder temp;
    const std::string copy = temp / "copy";
};

TEST_F(CopyVerificationTest, NamesEachChanceMatchThatTheScannersRuleTookFromTheDisc) {
    writeReducedCopy(disc.videoTs, copy, Reduction::ScannerRule);
    std::size_t expected = 0;
    for (const char* vob : {"VIDEO_TS.VOB", "VTS_01_0.VOB", "VTS_01_1.VOB", "VTS_02_1.VOB"})
        expected += chanceMatches(readFile(disc.videoTs + "/" + vob));

    const CopyCheck check = this->check();
    const auto total = check.total();
    EXPECT_EQ(total.strays, std::int64_t(expected));
    EXPECT_EQ(total.chanceMatches, std::int64_t(expected));
    EXPECT_EQ(total.packsMatched, total.vobus);
    EXPECT_EQ(total.missing + total.outOfOrder + total.problems + total.damaged + total.foreign, 0);
    EXPECT_TRUE(check.passed()) << "chance matches are notes, not losses";
    EXPECT_EQ(check.completeAndExact(), expected == 0);
    for (const auto& set : check.sets) {
        for (const auto& finding : set.findings) {
            EXPECT_TRUE(verify::isNote(finding.kind));
            EXPECT_NE(finding.text.find(", between VOBU "), std::string::npos) << finding.text;
            EXPECT_NE(finding.text.find(": a chance match, video or audio data that matches the "
                                        "scanner's signature"),
                      std::string::npos)
                << finding.text;
        }
    }
}

TEST_F(CopyVerificationTest, AWholeCopyIsCompleteAndExactWhereverItsSetsAreSplit) {
    // The title VOB set spread over two files, the second in small letters.
    const Bytes titles = readFile(at("VTS_01_1.VOB"));
    const std::size_t packs = titles.size() / kSector;
    writeFile(at("VTS_01_1.VOB"), sectors(titles, 0, 5));
    writeFile(at("vts_01_2.vob"), sectors(titles, 5, packs - 5));

    const CopyCheck check = this->check();
    std::vector<std::string> names;
    for (const auto& set : check.sets) names.push_back(set.name);
    EXPECT_EQ(names, (std::vector<std::string>{"VIDEO_TS menu", "VTS_01 menu", "VTS_01 titles",
                                               "VTS_02 titles"}));
    EXPECT_TRUE(check.completeAndExact());
    EXPECT_EQ(set(check, "VTS_01 titles").files,
              (std::vector<std::string>{"VTS_01_1.VOB", "vts_01_2.vob"}));
    EXPECT_EQ(set(check, "VTS_01 titles").tally.packsMatched, std::int64_t(packs));
    const auto total = check.total();
    EXPECT_GT(total.vobus, std::int64_t(packs));
    EXPECT_EQ(total.packsMatched, total.vobus);
    EXPECT_EQ(total.missing + total.outOfOrder + total.strays + total.problems, 0);
}

TEST_F(CopyVerificationTest, NamesAMissingPackAChanceMatchAndPacksOutOfOrder) {
    // VTS_01: the third NV_PCK lost; after the fourth, a video sector of the
    // disc whose bytes 40-41 happen to read 01 BF, as the scanner takes it.
    writeFile(at("VTS_01_1.VOB"),
              withLostPackAndChanceMatch(readFile(at("VTS_01_1.VOB")),
                                         readFile(disc.videoTs + "/VTS_01_1.VOB")));
    // VTS_02: the second and third NV_PCKs swapped.
    Bytes swapped = readFile(at("VTS_02_1.VOB"));
    std::swap_ranges(swapped.begin() + kSector, swapped.begin() + 2 * kSector,
                     swapped.begin() + 2 * kSector);
    writeFile(at("VTS_02_1.VOB"), swapped);

    const CopyCheck check = this->check();
    const auto titlesMap = dvd::VobuMapKind::Titles;
    EXPECT_EQ(
        texts(set(check, "VTS_01 titles")),
        (std::vector<std::string>{
            "sector 3 of the copy's VTS_01_1.VOB, between " + vobu("VTS_01_0.IFO", titlesMap, 3) +
                " and " + vobu("VTS_01_0.IFO", titlesMap, 4) +
                ": a chance match, video or audio data that matches the scanner's "
                "signature and is kept by its rule",
            vobu("VTS_01_0.IFO", titlesMap, 2) + ": not in the copy"}));
    EXPECT_EQ(
        texts(set(check, "VTS_02 titles")),
        (std::vector<std::string>{"sector 2 of the copy's VTS_02_1.VOB: the NV_PCK of " +
                                  vobu("VTS_02_0.IFO", titlesMap, 1) + " comes after that of " +
                                  vobu("VTS_02_0.IFO", titlesMap, 2)}));
    EXPECT_EQ(set(check, "VTS_01 titles").findings[0].kind, FindingKind::StrayPack);
    EXPECT_EQ(set(check, "VTS_01 titles").findings[1].kind, FindingKind::MissingPack);
    EXPECT_TRUE(set(check, "VIDEO_TS menu").findings.empty());
    const auto total = check.total();
    EXPECT_EQ(total.missing, 1);
    EXPECT_EQ(total.strays, 1);
    EXPECT_EQ(total.outOfOrder, 1);
    EXPECT_EQ(total.packsMatched, total.vobus - 1);
    EXPECT_FALSE(check.completeAndExact());
}

// With the disc at hand, bytes that the maps cannot tell from the disc's are
// compared with it; a disc's own video is said once, not sector by sector.
TEST_F(CopyVerificationTest, ComparedWithTheSourceADamagedPackIsNamedAndADiscIsNoCopy) {
    Bytes packs = readFile(at("VTS_02_1.VOB"));
    packs[kSector + 100] ^= 0x20;  // in the PCI packet's data of the second NV_PCK
    writeFile(at("VTS_02_1.VOB"), packs);
    EXPECT_TRUE(check().passed()) << "alone, the pack is in its place and in order";

    const verify::SourceFolder source{files, disc.videoTs};
    const CopyCheck compared = verify::verifyCopy(files, copy, &source);
    EXPECT_TRUE(compared.againstSource);
    EXPECT_FALSE(compared.passed());
    const auto map = verify::readVobuMap(files, at("VTS_02_0.IFO"), dvd::VobuMapKind::Titles);
    const VobSetCheck& titles = set(compared, "VTS_02 titles");
    ASSERT_EQ(titles.findings.size(), 1u);
    EXPECT_EQ(titles.findings[0].kind, FindingKind::DamagedPack);
    EXPECT_EQ(titles.findings[0].text, "sector 1 of the copy's VTS_02_1.VOB: the NV_PCK of " +
                                           vobu("VTS_02_0.IFO", dvd::VobuMapKind::Titles, 1) +
                                           ", differs from sector " + std::to_string(map->at(1)) +
                                           " of VTS_02_1.VOB of the source from byte 100 on");
    EXPECT_EQ(compared.total().damaged, 1);
    EXPECT_EQ(compared.total().packsMatched, compared.total().vobus - 1);

    const CopyCheck ofDisc = verify::verifyCopy(files, disc.videoTs);
    EXPECT_EQ(ofDisc.discVideo, "VIDEO_TS.VOB");
    EXPECT_FALSE(ofDisc.passed());
    EXPECT_GT(ofDisc.total().foreign, 1000);
    EXPECT_EQ(ofDisc.total().packsMatched, ofDisc.total().vobus) << "every VOBU is in its video";
    for (const auto& set : ofDisc.sets) {
        for (const auto& finding : set.findings)
            EXPECT_NE(finding.kind, FindingKind::ForeignSector) << finding.text;
    }
}

void putWord(const std::string& path, std::size_t offset, std::uint32_t value) {
    Bytes bytes = readFile(path);
    for (int i = 0; i < 4; ++i) bytes.at(offset + std::size_t(i)) = (value >> (24 - 8 * i)) & 0xFF;
    writeFile(path, bytes);
}

std::uint32_t wordAt(const std::string& path, std::size_t offset) {
    const Bytes bytes = readFile(path);
    return std::uint32_t(bytes.at(offset)) << 24 | std::uint32_t(bytes.at(offset + 1)) << 16 |
           std::uint32_t(bytes.at(offset + 2)) << 8 | bytes.at(offset + 3);
}

TEST_F(CopyVerificationTest, DamagedMapsAreFindingsOfTheirVobSets) {
    struct Damage {
        const char* what;
        std::function<void()> damage;
        const char* set;
        std::string finding;
    };
    const std::string vmg = at("VIDEO_TS.IFO"), vts1 = at("VTS_01_0.IFO"),
                      vts2 = at("VTS_02_0.IFO");
    const std::size_t menuMap = wordAt(vmg, 0xDC) * kSector;
    const std::size_t size1 = readFile(vts1).size();
    const std::vector<Damage> damages{
        {"no IFOs",
         [&] {
             for (const auto& ifo : {vmg, vts1, vts2}) std::filesystem::remove(ifo);
         },
         "VTS_02 titles", "no VTS_02_0.IFO in the copy"},
        {"the video manager's IFO gone", [&] { std::filesystem::remove(vmg); }, "VIDEO_TS menu",
         "no VIDEO_TS.IFO in the copy"},
        {"a truncated IFO", [&] { std::filesystem::resize_file(vts2, 100); }, "VTS_02 titles",
         "'" + vts2 + "': too short for an IFO (100 bytes)"},
        {"not an IFO", [&] { writeFile(vts2, patternBytes(6 * kSector, 9)); }, "VTS_02 titles",
         "'" + vts2 + "': not a title set's IFO: it does not begin with DVDVIDEO-VTS"},
        {"a map past the end", [&] { putWord(vts1, 0xE4, 4096); }, "VTS_01 titles",
         "'" + vts1 + "': the title VOBU address map lies at sector 4096, past the end of the " +
             "file (" + std::to_string(size1) + " bytes)"},
        {"an absurd end address", [&] { putWord(vmg, menuMap, 0xFFFFFFFF); }, "VIDEO_TS menu",
         "'" + vmg + "': the menu VOBU address map ends at byte " +
             std::to_string(menuMap + 0xFFFFFFFFull) + ", past the end of the file (" +
             std::to_string(readFile(vmg).size()) + " bytes)"},
        {"an end address inside the map's header", [&] { putWord(vmg, menuMap, 2); },
         "VIDEO_TS menu",
         "'" + vmg +
             "': the menu VOBU address map has an end address (2) that comes before the end of "
             "its own header"},
        {"no title map", [&] { putWord(vts1, 0xE4, 0); }, "VTS_01 titles",
         "VTS_01_0.IFO lists no title VOBU address map, yet the copy has VTS_01_1.VOB"},
    };
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.what);
        std::filesystem::remove_all(copy);
        makeFolder(copy);
        writeReducedCopy(disc.videoTs, copy, Reduction::NavPacksOnly);
        damage.damage();
        const CopyCheck check = this->check();
        EXPECT_FALSE(check.completeAndExact());
        const VobSetCheck& damaged = set(check, damage.set);
        ASSERT_EQ(damaged.findings.size(), 1u);
        EXPECT_EQ(damaged.findings[0].kind, FindingKind::DamagedMap);
        EXPECT_EQ(damaged.findings[0].text, damage.finding);
        EXPECT_EQ(check.total().problems, damage.what == std::string("no IFOs") ? 4 : 1);
    }
    EXPECT_THROW(verify::verifyCopy(files, temp / "nowhere"), platform::Failure);
}

}  // namespace
}  // namespace vantrel::testing
