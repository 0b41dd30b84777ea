// vantrel-cli on a real authored disc: read straight from a UDF image of it,
// and its reduced copies checked against the disc's own map.

#include <nlohmann/json.hpp>

#include <filesystem>

#include "cli/cli_fixture.h"
#include "platform/file_system.h"
#include "platform/system_file_system.h"
#include "support/authored_disc.h"
#include "support/dvd_generator.h"
#include "verify/ifo_file.h"

namespace vantrel::testing {
namespace {

using nlohmann::json;

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

}  // namespace
}  // namespace vantrel::testing
