// vantrel-cli on a real authored disc: read straight from a UDF image of it,
// its reduced copies checked against the disc's own map, and its sparse copy
// read as DVD tools read a disc, through libdvdread.

#include <dvdread/dvd_reader.h>
#include <dvdread/ifo_read.h>
#include <dvdread/nav_read.h>
#include <sys/stat.h>

#include <nlohmann/json.hpp>

#include <signal.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <sstream>

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

TEST_F(CliDiscTest, VerifyFailsOnlyARealLossAndNotesAChanceMatchWhereItLies) {
    writeReducedCopy(disc.videoTs, destination(), Reduction::NavPacksOnly);
    const auto whole = run({"--verify", destination()});
    EXPECT_EQ(whole.exitStatus, 0) << whole.out << whole.err;
    EXPECT_NE(whole.out.find("VTS_01 titles (VTS_01_0.IFO): "), std::string::npos) << whole.out;
    EXPECT_NE(whole.out.find("; the copy is complete and in order\n"), std::string::npos);

    // After the fourth NV_PCK, a video sector whose bytes 40-41 read 01 BF by
    // chance, as the scanner's rule keeps such a sector: a note, not a loss.
    const std::string vob = destination() + "/VTS_01_1.VOB";
    const Bytes packs = readFile(vob), video = readFile(disc.videoTs + "/VTS_01_1.VOB");
    Bytes chance = sectors(video, 1, 1);
    chance[40] = 0x01;
    chance[41] = 0xBF;
    Bytes withChance = sectors(packs, 0, 4);
    for (const Bytes& part : {chance, sectors(packs, 4, packs.size() / kSector - 4)})
        withChance.insert(withChance.end(), part.begin(), part.end());
    writeFile(vob, withChance);
    platform::SystemFileSystem files;
    const auto map =
        verify::readVobuMap(files, destination() + "/VTS_01_0.IFO", dvd::VobuMapKind::Titles);
    const auto vobu = [&](std::size_t i) {
        return "VOBU " + std::to_string(i + 1) + " (sector " + std::to_string(map->at(i)) + ")";
    };
    const auto noted = run({"--verify", destination()});
    EXPECT_EQ(noted.exitStatus, 0) << noted.out;
    EXPECT_NE(noted.out.find("\n    note: sector 4 of the copy's VTS_01_1.VOB, between " + vobu(3) +
                             " and " + vobu(4) +
                             ": a chance match, video or audio data that matches the scanner's "
                             "signature and is kept by its rule\n"),
              std::string::npos)
        << noted.out;
    EXPECT_NE(noted.out.find(": 1 note (1 chance match); the copy is complete and in order\n"),
              std::string::npos);
    const json note = json::parse(run({"--verify", "--json", destination()}).out);
    EXPECT_EQ(note["exit_status"], 0);
    EXPECT_EQ(note["verify"]["passed"], true);
    EXPECT_EQ(note["verify"]["complete_and_exact"], false);
    EXPECT_EQ(note["verify"]["total"]["chance_matches"], 1);

    // The third NV_PCK lost: a real loss.
    writeFile(vob, withLostPackAndChanceMatch(packs, video));
    const auto lost = run({"--verify", destination()});
    EXPECT_EQ(lost.exitStatus, 3);
    EXPECT_NE(lost.out.find("\n    " + vobu(2) + ": not in the copy\n"), std::string::npos)
        << lost.out;
    EXPECT_NE(lost.out.find(": 1 missing, 1 note (1 chance match); the copy is NOT complete and "
                            "in order\n"),
              std::string::npos)
        << lost.out;

    // After a job, the disc's own chance matches are notes located in the
    // source, and each NV_PCK is found as the source has it.
    std::size_t expected = 0;
    for (const char* name : {"VIDEO_TS.VOB", "VTS_01_0.VOB", "VTS_01_1.VOB", "VTS_02_1.VOB"})
        expected += chanceMatches(readFile(disc.videoTs + "/" + name));
    const auto job = run({"--verify", "--json", disc.videoTs, destination()});
    EXPECT_EQ(job.exitStatus, 0) << job.err;
    const json document = json::parse(job.out);
    EXPECT_EQ(document["outcome"], "done");
    EXPECT_EQ(document["verify"]["compared_with_source"], true);
    EXPECT_EQ(document["verify"]["passed"], true);
    EXPECT_EQ(document["verify"]["total"]["strays"], expected);
    EXPECT_EQ(document["verify"]["total"]["packs_matched"], document["verify"]["total"]["vobus"]);
    for (const json& set : document["verify"]["vob_sets"]) {
        for (const json& finding : set["findings"]) {
            const std::string text = finding["text"];
            EXPECT_EQ(finding["note"], true) << text;
            EXPECT_NE(text.find(", in VOBU "), std::string::npos)
                << "the source's sector: " << text;
        }
    }
    EXPECT_EQ(readFile(vob), expectedNavPacks(video));
    const auto shown = run({"--verify", disc.videoTs, destination()});
    EXPECT_NE(shown.out.find("; the copy is complete, in order and as the source\n"),
              std::string::npos)
        << shown.out;
}

// A source that ends within an NV_PCK leaves the scanner a part of it, which
// it completes with zeros: a damaged pack, said as such with or without the source.
TEST_F(CliDiscTest, AnNvPckCutShortByItsSourcesEndIsSaidToBeCompletedWithZeros) {
    std::filesystem::copy(disc.videoTs, source(), std::filesystem::copy_options::recursive);
    platform::SystemFileSystem files;
    const auto map =
        verify::readVobuMap(files, source() + "/VTS_02_0.IFO", dvd::VobuMapKind::Titles);
    const std::string cut = std::to_string(map->at(2));
    std::filesystem::resize_file(source() + "/VTS_02_1.VOB", map->at(2) * kSector + 500);

    const auto job = run({"--verify", source(), destination()});
    EXPECT_EQ(job.exitStatus, 3) << job.err;
    EXPECT_NE(job.out.find(
                  "\n    sector 2 of the copy's VTS_02_1.VOB: the NV_PCK of VOBU 3 (sector " + cut +
                  "), completed with zeros from byte 500 on: its source ends there, "
                  "500 bytes into sector " +
                  cut + " of VTS_02_1.VOB\n"),
              std::string::npos)
        << job.out;
    const auto alone = run({"--verify", destination()});
    EXPECT_EQ(alone.exitStatus, 3);
    EXPECT_NE(
        alone.out.find("\n    sector 2 of the copy's VTS_02_1.VOB: the NV_PCK of VOBU 3 (sector " +
                       cut + "), ends in zeros from byte "),
        std::string::npos)
        << alone.out;
    EXPECT_NE(alone.out.find(" on: completed with zeros because its source ended early\n"),
              std::string::npos);
    for (const std::string& out : {job.out, alone.out})
        EXPECT_EQ(out.find("VTS_02_1.VOB, between"), std::string::npos) << "no chance match";
}

TEST_F(CliDiscTest, VerifyOnADiscsOwnFolderSaysSoOnce) {
    const auto result = run({"--verify", disc.videoTs});
    EXPECT_EQ(result.exitStatus, 3);
    const std::string said =
        "This folder holds a disc's own video, not a reduced copy: "
        "VIDEO_TS.VOB has sectors the scanner would not keep; they are "
        "counted below, not listed.\n";
    const auto first = result.out.find(said);
    EXPECT_NE(first, std::string::npos) << result.out;
    EXPECT_EQ(result.out.find(said, first + 1), std::string::npos);
    EXPECT_EQ(result.out.find("not kept by the scanner's rule"), std::string::npos) << result.out;
    EXPECT_LT(std::count(result.out.begin(), result.out.end(), '\n'), 12) << result.out;
    const json check = json::parse(run({"--verify", "--json", disc.videoTs}).out)["verify"];
    EXPECT_EQ(check["disc_video"], "VIDEO_TS.VOB");
    EXPECT_GT(check["total"]["foreign"], 1000);
}

TEST_F(CliDiscTest, AShelfOfAFolderADiscRootAndAnImageGoesIntoOneFolderEachPastARefusal) {
    const std::string image = temp / "holiday.iso";
    makeImage(image);
    if (IsSkipped() || HasFailure()) return;
    // A VIDEO_TS folder named by its parent, a disc's root folder by itself,
    // an image by its name; the shelf's folder and the one above it made.
    const std::string film = temp / "film", series = temp / "series";
    std::filesystem::copy(disc.root, film, std::filesystem::copy_options::recursive);
    std::filesystem::copy(disc.root, series, std::filesystem::copy_options::recursive);
    const std::string shelf = temp / "discs" + kSep + "shelf";
    // The series' copy cannot write one side file (3); the image's DEST holds
    // another disc's video and is refused (2).
    makeFolder(shelf + "/series/VTS_01_0.BUP");
    makeFolder(shelf + "/holiday");
    writeFile(shelf + "/holiday/VTS_01_1.VOB", readFile(disc.videoTs + "/VTS_01_1.VOB"));

    const auto result =
        run({"--json", "--parents", "--verify", film + "/VIDEO_TS", series, image, shelf});
    EXPECT_EQ(result.exitStatus, 3) << "the worst of 0, 3 and 2\n" << result.err;
    std::vector<json> documents;
    std::istringstream lines(result.out);
    for (std::string line; std::getline(lines, line);) documents.push_back(json::parse(line));
    ASSERT_EQ(documents.size(), 3u) << result.out;
    const std::vector<std::pair<std::string, int>> outcomes = {
        {"done", 0}, {"done", 3}, {"refused", 2}};
    const std::vector<std::string> names = {"film", "series", "holiday"};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(documents[i]["outcome"], outcomes[i].first) << i;
        EXPECT_EQ(documents[i]["exit_status"], outcomes[i].second) << i;
        EXPECT_EQ(documents[i]["destination"].get<std::string>().rfind(shelf + "/" + names[i], 0),
                  0u);
    }
    EXPECT_EQ(documents[0]["verify"]["passed"], true);
    EXPECT_EQ(documents[2]["operand"], image);
    EXPECT_NE(
        result.err.find("vantrel-cli: disc 2 of 3: '" + series + "' into '" + shelf + "/series'\n"),
        std::string::npos)
        << result.err;
    EXPECT_EQ(namesIn(shelf + "/film").size(), 10u);
    EXPECT_EQ(readFile(shelf + "/series/VTS_02_1.VOB"), readFile(shelf + "/film/VTS_02_1.VOB"));
    EXPECT_EQ(namesIn(shelf + "/holiday"), std::vector<std::string>{"VTS_01_1.VOB"});

    // Without --json, the summary gives each disc's outcome.
    const auto again = run({film + "/VIDEO_TS", series, image, shelf});
    EXPECT_NE(again.out.find("Shelf of 3 discs into '" + shelf + "':\n  done       '" + film +
                             "/VIDEO_TS' into '" + shelf + "/film'\n  incomplete '" + series +
                             "' into '" + shelf + "/series'\n  refused    '" + image + "' into '" +
                             shelf + "/holiday'\nExit status 3, the worst disc's.\n"),
              std::string::npos)
        << again.out;
}

// A shelf stopped by Ctrl-C during its second disc: the same command again
// skips the disc whose copy is complete and does the others.
TEST_F(CliDiscTest, AShelfStoppedByCtrlCIsFinishedByTheSameCommandAgain) {
    std::vector<std::string> command = {"--skip-complete", "--parents"};
    for (const char* name : {"a", "b", "c"}) {
        std::filesystem::copy(disc.root, temp / name, std::filesystem::copy_options::recursive);
        command.push_back(temp / name);
    }
    // The second disc's title VOB long enough to be stopped in: its map's
    // VOBUs, then a gigabyte of nothing the scanner keeps.
    std::filesystem::resize_file(temp / "b/VIDEO_TS/VTS_01_1.VOB", std::int64_t{1} << 30);
    const std::string shelf = temp / "shelf";
    command.push_back(shelf);

    bool sent = false;
    const auto stopped =
        runProgram(program(), command, [&](ProcessId child, const std::string& err) {
            const auto second = err.find("disc 2 of 3");
            if (!sent && second != err.npos && err.find("VTS_01_1.VOB", second) != err.npos) {
                ::kill(child, SIGINT);
                sent = true;
            }
        });
    EXPECT_TRUE(sent);
    EXPECT_EQ(stopped.exitStatus, 130) << stopped.err;
    EXPECT_NE(stopped.out.find("  cancelled  '" + (temp / "b") + "'"), std::string::npos)
        << stopped.out;
    EXPECT_NE(stopped.out.find("  not begun  '" + (temp / "c") + "'"), std::string::npos);
    EXPECT_NE(stopped.out.find("\nStopped by a signal (exit status 130).\n"), std::string::npos);
    EXPECT_FALSE(exists(shelf + "/c"));

    const auto resumed = run(command);
    EXPECT_EQ(resumed.exitStatus, 0) << resumed.err;
    EXPECT_NE(resumed.err.find("vantrel-cli: '" + shelf + "/a' already holds a complete copy of '" +
                               (temp / "a") + "': skipped\n"),
              std::string::npos)
        << resumed.err;
    EXPECT_NE(resumed.out.find("  skipped    '" + (temp / "a") + "' into '" + shelf +
                               "/a'\n  done       '" + (temp / "b") + "' into '" + shelf +
                               "/b'\n  done       '" + (temp / "c") + "' into '" + shelf + "/c'\n"),
              std::string::npos)
        << resumed.out;
    EXPECT_EQ(folderDifference(shelf + "/a", shelf + "/b"), "");
    EXPECT_EQ(folderDifference(shelf + "/a", shelf + "/c"), "");
    const auto done = run(command);
    EXPECT_EQ(done.exitStatus, 0);
    EXPECT_EQ(std::count(done.out.begin(), done.out.end(), '\n'), 5) << done.out;
    EXPECT_EQ(done.out.find("  done"), std::string::npos) << "all three skipped\n" << done.out;
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
    EXPECT_EQ(job.exitStatus, 0) << job.err;
    const json check = json::parse(job.out)["verify"];
    EXPECT_EQ(check["copy"], "sparse");
    EXPECT_EQ(check["passed"], true);
    EXPECT_EQ(check["compared_with_source"], true);
    EXPECT_EQ(check["total"]["packs_matched"], check["total"]["vobus"]);
    EXPECT_EQ(check["total"]["strays"], chance) << "the scanner's chance matches, as a packed "
                                                   "copy holds them";

    // VOBU 3's NV_PCK lost to a hole; where a hole belongs, the disc's video.
    platform::SystemFileSystem files;
    const auto map =
        verify::readVobuMap(files, destination() + "/VTS_01_0.IFO", dvd::VobuMapKind::Titles);
    const std::size_t lost = map->at(2), video = lost + 1;
    const std::string vob = destination() + "/VTS_01_1.VOB";
    Bytes damaged = readFile(vob);
    const Bytes original = sectors(readFile(disc.videoTs + "/VTS_01_1.VOB"), video, 1);
    std::fill_n(damaged.begin() + std::ptrdiff_t(lost * kSector), kSector, 0);
    std::copy(original.begin(), original.end(), damaged.begin() + std::ptrdiff_t(video * kSector));
    writeFile(vob, damaged);

    const auto found = run({"--verify", destination()});
    EXPECT_EQ(found.exitStatus, 3);
    EXPECT_EQ(found.out.rfind("Check of '" + destination() + "', a sparse copy,", 0), 0u)
        << found.out;
    EXPECT_NE(
        found.out.find("\n    VOBU 3 (sector " + std::to_string(lost) + "): not in the copy\n"),
        std::string::npos)
        << found.out;
    EXPECT_NE(found.out.find("\n    sector " + std::to_string(video) +
                             " of the copy's VTS_01_1.VOB: not kept by the scanner's rule"),
              std::string::npos);
    EXPECT_NE(found.out.find("1 missing, 1 sector the scanner would not keep"), std::string::npos)
        << found.out;
}

}  // namespace
}  // namespace vantrel::testing
