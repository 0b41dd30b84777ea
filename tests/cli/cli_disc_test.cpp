// vantrel-cli on a real authored disc: read straight from a UDF image of it,
// its reduced copies checked against the disc's own map, and its sparse copy
// read as DVD tools read a disc, through libdvdread.

#include <dvdread/dvd_reader.h>
#include <dvdread/ifo_read.h>
#include <dvdread/nav_read.h>
#include <sys/stat.h>

#include <nlohmann/json.hpp>

#include <filesystem>
#include <map>
#include <memory>

#include "cli/cli_fixture.h"
#include "dvd/nav_pack.h"
#include "platform/file_system.h"
#include "platform/system_file_system.h"
#include "support/authored_disc.h"
#include "support/dvd_generator.h"
#include "verify/ifo_file.h"

namespace vantrel::testing {
namespace {

using nlohmann::json;

// What libdvdread reads at the addresses of one VOB set's VOBU map.
struct MapWalk {
    int vobus = 0;
    // Addresses where it read no NAV pack, or one that gives another address as its own.
    int lost = 0;
    bool operator==(const MapWalk&) const = default;
};

void walkMap(dvd_reader_t* dvd, int titleSet, dvd_read_domain_t domain, const vobu_admap_t* map,
             MapWalk& walk) {
    const std::unique_ptr<dvd_file_t, decltype(&DVDCloseFile)> vobs(
        DVDOpenFile(dvd, titleSet, domain), &DVDCloseFile);
    const std::size_t count = (map->last_byte + 1 - VOBU_ADMAP_SIZE) / sizeof(std::uint32_t);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t sector = map->vobu_start_sectors[i];
        unsigned char block[DVD_VIDEO_LB_LEN];
        dsi_t dsi{};
        const bool read = vobs && DVDReadBlocks(vobs.get(), int(sector), 1, block) == 1;
        if (read && dvd::isNavPack(block)) navRead_DSI(&dsi, block + DSI_START_BYTE);
        ++walk.vobus;
        walk.lost += !read || !dvd::isNavPack(block) || dsi.dsi_gi.nv_pck_lbn != sector;
    }
}

// Every VOBU map of the DVD folder `folder` (the maps of its IFOs, as
// libdvdread reads them) walked by libdvdread, by VOB set.
std::map<std::string, MapWalk> walkVobuMaps(const std::string& folder) {
    std::map<std::string, MapWalk> walks;
    const std::unique_ptr<dvd_reader_t, decltype(&DVDClose)> dvd(DVDOpen(folder.c_str()),
                                                                 &DVDClose);
    if (!dvd) return walks;
    using Ifo = std::unique_ptr<ifo_handle_t, decltype(&ifoClose)>;
    const Ifo manager(ifoOpen(dvd.get(), 0), &ifoClose);
    if (!manager) return walks;
    walkMap(dvd.get(), 0, DVD_READ_MENU_VOBS, manager->menu_vobu_admap, walks["VIDEO_TS menu"]);
    for (int n = 1; n <= manager->vmgi_mat->vmg_nr_of_title_sets; ++n) {
        const Ifo titleSet(ifoOpen(dvd.get(), n), &ifoClose);
        if (!titleSet) continue;
        const std::string name = "VTS_0" + std::to_string(n);
        if (titleSet->menu_vobu_admap)
            walkMap(dvd.get(), n, DVD_READ_MENU_VOBS, titleSet->menu_vobu_admap,
                    walks[name + " menu"]);
        walkMap(dvd.get(), n, DVD_READ_TITLE_VOBS, titleSet->vts_vobu_admap,
                walks[name + " titles"]);
    }
    return walks;
}

struct stat statusOf(const std::string& path) {
    struct stat status {};
    ::stat(path.c_str(), &status);
    return status;
}

class CliDiscTest : public CliTest {
  protected:
    void SetUp() override {
        CliTest::SetUp();
        if (!disc.missing.empty()) GTEST_SKIP() << disc.missing;
    }
    // A UDF image of the disc at `image`; the test is skipped without genisoimage.
    void makeImage(const std::string& image) {
        const auto made = runProgram("/usr/bin/genisoimage",
                                     {"-quiet", "-dvd-video", "-udf", "-o", image, disc.root});
        if (made.exitStatus == 127) GTEST_SKIP() << "genisoimage is missing";
        ASSERT_EQ(made.exitStatus, 0) << made.err;
    }

    const AuthoredDisc& disc = authoredDisc();
};

TEST_F(CliDiscTest, AUdfImageIsReadStraightAsItsFolderIs) {
    const std::string image = temp / "disc.iso";
    makeImage(image);
    if (IsSkipped() || HasFailure()) return;

    const auto planned = run({"-n", image, destination()});
    EXPECT_EQ(planned.exitStatus, 0) << planned.err;
    EXPECT_NE(planned.out.find("scan    VTS_01_1.VOB"), std::string::npos) << planned.out;
    EXPECT_EQ(namesIn(destination()), std::vector<std::string>()) << "a dry run writes nothing";

    const auto fromImage = run({image, temp / "from-image"});
    const auto fromFolder = run({disc.root, temp / "from-folder"});
    EXPECT_EQ(fromImage.exitStatus, 0) << fromImage.err;
    EXPECT_EQ(fromImage.out.substr(0, fromImage.out.find(" in ")),
              fromFolder.out.substr(0, fromFolder.out.find(" in ")));
    EXPECT_EQ(namesIn(temp / "from-folder").size(), 10u);
    EXPECT_EQ(folderDifference(temp / "from-image", temp / "from-folder"), "");

    // What is no readable image is refused in one line, and nothing is made.
    std::filesystem::resize_file(image, 200 * kSector);
    writeFile(temp / "notes.txt", "a few words");
    for (const auto& [path, why] :
         {std::pair{image, "is truncated: its file system reaches past its end"},
          std::pair{temp / "notes.txt",
                    "is not a DVD-Video disc image: it holds no UDF file "
                    "system"}}) {
        const auto refused = run({path, temp / "unmade"});
        EXPECT_EQ(refused.exitStatus, 2);
        EXPECT_EQ(refused.err, "vantrel-cli: '" + path + "' " + why + "\n");
        EXPECT_FALSE(exists(temp / "unmade"));
    }
}

// The clearing step deletes the destination's *.vob: never the job's own source.
TEST_F(CliDiscTest, AnImageNamedLikeADvdFileInTheDestinationIsNeverDeleted) {
    const std::string image = destination() + "/disc.vob";
    makeImage(image);
    if (IsSkipped() || HasFailure()) return;
    const Bytes before = readFile(image);
    for (const char* option : {"-n", "-q"}) {
        const auto refused = run({option, image, destination()});
        EXPECT_EQ(refused.exitStatus, 2);
        EXPECT_EQ(refused.err, "vantrel-cli: invalid destination folder '" + destination() +
                                   "': it holds the source disc.vob, which would be deleted\n");
    }
    EXPECT_EQ(namesIn(destination()), std::vector<std::string>{"disc.vob"});
    EXPECT_EQ(readFile(image), before);
}

TEST_F(CliDiscTest, VerifyFindsAWholeCopyExactAndNamesAMissingPackAndAChanceMatch) {
    writeReducedCopy(disc.videoTs, destination(), Reduction::NavPacksOnly);
    const auto whole = run({"--verify", destination()});
    EXPECT_EQ(whole.exitStatus, 0) << whole.out << whole.err;
    EXPECT_NE(whole.out.find("VTS_01 titles (VTS_01_0.IFO): "), std::string::npos) << whole.out;
    EXPECT_NE(whole.out.find("; the copy is complete and exact\n"), std::string::npos);

    // The third NV_PCK lost, and a chance match after the fourth.
    const std::string vob = destination() + "/VTS_01_1.VOB";
    writeFile(vob,
              withLostPackAndChanceMatch(readFile(vob), readFile(disc.videoTs + "/VTS_01_1.VOB")));
    platform::SystemFileSystem files;
    const auto map =
        verify::readVobuMap(files, destination() + "/VTS_01_0.IFO", dvd::VobuMapKind::Titles);
    const std::string missing =
        "VOBU 3 (sector " + std::to_string(map->at(2)) + "): not in the copy";

    const auto found = run({"--verify", destination()});
    EXPECT_EQ(found.exitStatus, 3);
    EXPECT_NE(found.out.find("\n    " + missing + "\n"), std::string::npos) << found.out;
    EXPECT_NE(found.out.find("\n    sector 3 of VTS_01_1.VOB: not an NV_PCK"), std::string::npos);
    EXPECT_NE(found.out.find(": 1 missing, 1 stray sector; the copy is NOT complete and exact"),
              std::string::npos)
        << found.out;
    const json check = json::parse(run({"--verify", "--json", destination()}).out)["verify"];
    EXPECT_EQ(check["complete_and_exact"], false);
    EXPECT_EQ(check["total"]["missing"], 1);
    EXPECT_EQ(check["total"]["strays"], 1);

    // After a job: the scanner's own chance matches, and the copy kept as the rule made it.
    std::size_t expected = 0;
    for (const char* name : {"VIDEO_TS.VOB", "VTS_01_0.VOB", "VTS_01_1.VOB", "VTS_02_1.VOB"})
        expected += chanceMatches(readFile(disc.videoTs + "/" + name));
    const auto job = run({"--verify", "--json", disc.videoTs, destination()});
    EXPECT_EQ(job.exitStatus, expected == 0 ? 0 : 3) << job.err;
    const json document = json::parse(job.out);
    EXPECT_EQ(document["outcome"], "done");
    EXPECT_EQ(document["verify"]["total"]["strays"], expected);
    EXPECT_EQ(document["verify"]["total"]["missing"], 0);
    EXPECT_EQ(readFile(vob), expectedNavPacks(readFile(disc.videoTs + "/VTS_01_1.VOB")));
}

TEST_F(CliDiscTest, LibdvdreadFindsEveryNavPackOfASparseCopyWhereTheIfosSay) {
    const std::string packed = temp / "packed", sparse = temp / "sparse";
    const auto planned = run({"-n", "-S", disc.videoTs, sparse});
    const auto packedJob = run({disc.videoTs, packed});
    const auto sparseJob = run({"-S", "--json", disc.videoTs, sparse});
    ASSERT_EQ(packedJob.exitStatus, 0) << packedJob.err;
    ASSERT_EQ(sparseJob.exitStatus, 0) << sparseJob.err;
    EXPECT_EQ(json::parse(sparseJob.out)["copy"], "sparse");

    const auto onDisc = walkVobuMaps(disc.root);
    const auto inPacked = walkVobuMaps(packed);
    ASSERT_EQ(onDisc.size(), 4u) << "the video manager's menus, VTS_01's menus and titles, "
                                    "VTS_02's titles";
    int vobus = 0;
    for (const auto& [set, walk] : onDisc) {
        SCOPED_TRACE(set);
        EXPECT_EQ(walk.lost, 0);
        vobus += walk.vobus;
        // Only each set's first VOBU, at sector 0, stays where a reader looks for it.
        EXPECT_EQ(inPacked.at(set).lost, walk.vobus - 1);
        EXPECT_GT(walk.vobus, 1);
    }
    EXPECT_EQ(walkVobuMaps(sparse), onDisc);
    EXPECT_NE(planned.out.find("on disk about"), std::string::npos) << planned.out;
    EXPECT_NE(planned.out.find(": " + std::to_string(vobus) + " NV_PCK sectors (by the IFOs'"),
              std::string::npos)
        << planned.out;

    // As long as the disc's VOBs, on disk hardly more than the packed copy:
    // a block for each sector, and one for the file system's own records.
    for (const char* vob : {"VIDEO_TS.VOB", "VTS_01_0.VOB", "VTS_01_1.VOB", "VTS_02_1.VOB"}) {
        SCOPED_TRACE(vob);
        const struct stat copy = statusOf(sparse + "/" + vob);
        const std::int64_t kept = statusOf(packed + "/" + vob).st_size / std::int64_t(kSector);
        EXPECT_EQ(copy.st_size, statusOf(disc.videoTs + "/" + vob).st_size);
        EXPECT_LE(copy.st_blocks * 512,
                  kept * std::max<std::int64_t>(copy.st_blksize, kSector) + copy.st_blksize);
    }
}

TEST_F(CliDiscTest, VerifyChecksASparseCopyByAddress) {
    std::size_t chance = 0;
    for (const char* name : {"VIDEO_TS.VOB", "VTS_01_0.VOB", "VTS_01_1.VOB", "VTS_02_1.VOB"})
        chance += chanceMatches(readFile(disc.videoTs + "/" + name));
    const auto job = run({"-S", "--verify", "--json", disc.videoTs, destination()});
    EXPECT_EQ(job.exitStatus, chance == 0 ? 0 : 3) << job.err;
    const json check = json::parse(job.out)["verify"];
    EXPECT_EQ(check["copy"], "sparse");
    EXPECT_EQ(check["total"]["packs_matched"], check["total"]["vobus"]);
    EXPECT_EQ(check["total"]["strays"], chance) << "the scanner's chance matches, as a packed "
                                                   "copy holds them";

    // VOBU 3's NV_PCK lost to a hole; a sector of the disc's video where a hole belongs.
    platform::SystemFileSystem files;
    const auto map =
        verify::readVobuMap(files, destination() + "/VTS_01_0.IFO", dvd::VobuMapKind::Titles);
    const std::string vob = destination() + "/VTS_01_1.VOB";
    Bytes damaged = readFile(vob);
    const Bytes video = sectors(readFile(disc.videoTs + "/VTS_01_1.VOB"), 1, 1);
    std::fill_n(damaged.begin() + std::ptrdiff_t(map->at(2) * kSector), kSector, 0);
    std::copy(video.begin(), video.end(), damaged.begin() + std::ptrdiff_t(kSector));
    writeFile(vob, damaged);

    const auto found = run({"--verify", destination()});
    EXPECT_EQ(found.exitStatus, 3);
    EXPECT_EQ(found.out.rfind("Check of '" + destination() + "', a sparse copy,", 0), 0u)
        << found.out;
    EXPECT_NE(found.out.find("\n    VOBU 3 (sector " + std::to_string(map->at(2)) +
                             "): not in the copy\n"),
              std::string::npos)
        << found.out;
    EXPECT_NE(found.out.find("\n    sector 1 of VTS_01_1.VOB: not an NV_PCK"), std::string::npos);
    EXPECT_NE(found.out.find("1 missing, " + std::to_string(chance + 1) + " stray sector"),
              std::string::npos)
        << found.out;
}

}  // namespace
}  // namespace vantrel::testing
