// vantrel-cli in scripts: the dry run, a disc's root folder, a destination to
// be made, and the JSON document, on both systems.

#include <nlohmann/json.hpp>

#include <cerrno>
#include <filesystem>
#include <map>
#include <system_error>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "cli/cli_fixture.h"
#include "cli/job_destination.h"
#include "platform/failure.h"
#include "platform/file_system.h"
#include "platform/folder_lock.h"
#include "platform/system_file_system.h"
#include "support/dvd_generator.h"
#include "support/faulty_file_system.h"

namespace vantrel::testing {
namespace {

using nlohmann::json;

// Every entry under `folder` by its path, with a file's content.
std::map<std::string, Bytes> tree(const std::string& folder) {
    std::map<std::string, Bytes> entries;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(nativePath(folder))) {
        const std::u8string spelt = entry.path().u8string();
        const std::string path(spelt.begin(), spelt.end());
        entries[path] = entry.is_regular_file() ? readFile(path) : Bytes{};
    }
    return entries;
}

bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST_F(CliTest, ADryRunListsWhatTheJobWouldDoAndChangesNothing) {
    makeDvdFolder(source(), 1, 20);
    writeFile(destination() + "/VTS_07_1.VOB", "an old output");
    writeFile(destination() + "/notes.txt", "kept");
    const auto before = tree(temp.path());

    const auto planned = run({"-n", source(), destination()});
    EXPECT_EQ(planned.exitStatus, 0) << planned.err;
    EXPECT_EQ(tree(temp.path()), before) << "no file, no lock file, no log";
    for (const std::string& step : std::vector<std::string>{
             "delete  VTS_07_1.VOB  13 bytes\n", "copy    VIDEO_TS.IFO  24576 bytes\n",
             "copy    VTS_01_0.BUP  40960 bytes\n", "scan    VTS_01_1.VOB  40960 bytes\n",
             "Dry run, nothing changed: 1 old file would be deleted from '" + destination() + kSep +
                 "', 4 side files (131.07 kB) copied and 2 VOBs (81.92 kB) scanned"})
        EXPECT_TRUE(has(planned.out, step)) << step << "\n" << planned.out;
    EXPECT_FALSE(has(planned.out, "notes.txt"));

    // A destination another job holds is refused as the job would refuse it.
    platform::SystemFileSystem files;
    platform::FolderLock lock(files);
    ASSERT_TRUE(lock.acquire(destination()));
    const auto held = run({"--dry-run", source(), destination()});
    lock.release();
    EXPECT_EQ(held.exitStatus, 2);
    EXPECT_EQ(held.err, "vantrel-cli: invalid destination folder '" + destination() +
                            "': in use by another extraction\n");
    EXPECT_EQ(held.out, "");

    // A destination to be made is not made.
    const auto toBeMade = run({"-n", source(), temp / "new"});
    EXPECT_EQ(toBeMade.exitStatus, 0) << toBeMade.err;
    EXPECT_EQ(toBeMade.out.rfind("make    " + (temp / "new") + "\n", 0), 0u) << toBeMade.out;
    EXPECT_FALSE(exists(temp / "new"));
    EXPECT_EQ(tree(temp.path()), before);
}

TEST_F(CliTest, ADryRunInJsonIsThePlanAsADocument) {
    makeDvdFolder(source(), 1, 20);
    writeFile(destination() + "/VTS_07_1.VOB", "an old output");
    const auto before = tree(temp.path());

    const auto planned = run({"-n", "--json", source(), destination()});
    EXPECT_EQ(planned.exitStatus, 0) << planned.err;
    EXPECT_EQ(tree(temp.path()), before);
    const json plan = json::parse(planned.out);
    EXPECT_EQ(plan["outcome"], "planned");
    EXPECT_EQ(plan["dry_run"], true);
    EXPECT_EQ(plan["source"], source() + kSep);
    EXPECT_EQ(plan["destination"], destination() + kSep);
    EXPECT_EQ(plan["refusal"], nullptr);
    EXPECT_EQ(plan["make"], json::array());
    EXPECT_EQ(plan["delete"],
              json::parse(R"([{"name": "VTS_07_1.VOB", "link": false, "size": 13}])"));
    std::vector<std::string> steps;
    for (const json& file : plan["files"]) {
        const std::string name = file["name"];
        steps.push_back(file["kind"].get<std::string>() + " " + name);
        EXPECT_EQ(file["size"], readFile(source() + kSep + name).size()) << name;
    }
    EXPECT_EQ(steps, (std::vector<std::string>{"side_file VIDEO_TS.IFO", "side_file VTS_01_0.IFO",
                                               "side_file VIDEO_TS.BUP", "side_file VTS_01_0.BUP",
                                               "vob VIDEO_TS.VOB", "vob VTS_01_1.VOB"}));

    // The folders a job would make, with --parents; a refusal as the job's document has it.
    const std::string deeper = temp / "a" + kSep + "b";
    const json made = json::parse(run({"-n", "--json", "-p", source(), deeper}).out);
    EXPECT_EQ(made["make"], (std::vector<std::string>{temp / "a", deeper}));
    EXPECT_EQ(made["delete"], json::array());
    const auto refused = run({"-n", "--json", temp / "missing", destination()});
    EXPECT_EQ(refused.exitStatus, 2);
    const json refusal = json::parse(refused.out);
    EXPECT_EQ(refusal["outcome"], "refused");
    EXPECT_EQ(refusal["refusal"]["role"], "source");
    EXPECT_EQ(refusal["exit_status"], 2);
    EXPECT_FALSE(exists(temp / "a"));
}

TEST_F(CliTest, ADiscsRootFolderStandsForItsVideoTsFolderAndAMissingDestIsMade) {
    // The folder above VIDEO_TS, as a mounted disc or a copy of one has it.
    const std::string videoTs = source() + kSep + "video_ts";
    makeDvdFolder(videoTs, 1, 20);
    makeFolder(source() + kSep + "AUDIO_TS");
    const std::string made = destination() + kSep + "holiday";

    const auto result = run({source(), made});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_TRUE(has(result.err, "vantrel-cli: '" + source() +
                                    "' holds no DVD file: reading its video_ts folder '" + videoTs +
                                    "'\n"))
        << result.err;
    EXPECT_EQ(readFile(made + "/VTS_01_1.VOB"),
              expectedNavPacks(readFile(videoTs + "/VTS_01_1.VOB")));
    EXPECT_EQ(readFile(made + "/VIDEO_TS.IFO"), readFile(videoTs + "/VIDEO_TS.IFO"));

    // Only the last folder is made, unless --parents is given; the refusal
    // names the folder that is missing. Nothing is made for a job that is refused.
    const std::string deeper = temp / "missing" + kSep + "out";
    const auto refused = run({source(), deeper});
    EXPECT_EQ(refused.exitStatus, 2);
    EXPECT_EQ(refused.err, "vantrel-cli: invalid destination folder '" + deeper +
                               "': the folder '" + (temp / "missing") +
                               "' above it does not exist (--parents makes it)\n");
    makeFolder(temp / "empty");
    const auto empty = run({temp / "empty", temp / "unmade"});
    EXPECT_EQ(empty.exitStatus, 2);
    EXPECT_TRUE(has(empty.err, "no files (*.vob) for processing found in")) << empty.err;
    EXPECT_FALSE(exists(temp / "missing"));
    EXPECT_FALSE(exists(temp / "unmade"));
    const auto withParents = run({"--parents", "-q", source(), deeper});
    EXPECT_EQ(withParents.exitStatus, 0) << withParents.err;
    EXPECT_EQ(readFile(deeper + "/VIDEO_TS.IFO"), readFile(videoTs + "/VIDEO_TS.IFO"));

    // The disc's root is not the source folder, but the copy must not land beside VIDEO_TS.
    const auto intoRoot = run({source(), source()});
    EXPECT_EQ(intoRoot.exitStatus, 2);
    EXPECT_TRUE(has(intoRoot.err, "vantrel-cli: invalid destination folder '" + source() +
                                      "': it is the source folder\n"))
        << intoRoot.err;
    EXPECT_EQ(namesIn(source()), (std::vector<std::string>{"AUDIO_TS", "video_ts"}));

    // Made by the job or refused: what appeared there since the check (here a
    // link to another disc's folder) is not taken for the folder made.
    const std::string planted = temp / "planted";
#ifdef _WIN32
    makeFolder(planted);
#else
    ASSERT_EQ(::symlink(made.c_str(), planted.c_str()), 0);
#endif
    try {
        cli::makeDestination(planted);
        ADD_FAILURE() << "taken as made";
    } catch (const platform::Failure& failure) {
        EXPECT_EQ(failure.reason(),
                  "it cannot be made: " + std::generic_category().message(EEXIST));
    }
}

TEST_F(CliTest, TheJsonDocumentTellsEachFileAndAddsUpToTheTally) {
    makeDvdFolder(source(), 2, 60);
    makeFolder(destination() + "/VTS_01_0.BUP");  // its output cannot be written
    const auto result = run({"--json", "--quiet", source(), destination()});
    EXPECT_EQ(result.exitStatus, 3) << result.err;
    const json document = json::parse(result.out);

    EXPECT_EQ(document["outcome"], "done");
    EXPECT_EQ(document["source"], source() + kSep);
    EXPECT_EQ(document["refusal"], nullptr);
    EXPECT_EQ(document["verify"], nullptr);
    const json& files = document["files"];
    ASSERT_EQ(files.size(), 7u);
    std::int64_t bytesRead = 0, packs = 0;
    for (const json& file : files) {
        const std::string name = file["name"];
        const Bytes content = readFile(source() + kSep + name);
        const bool failed = name == "VTS_01_0.BUP";  // before a byte was read
        EXPECT_EQ(file["size"], content.size()) << name;
        EXPECT_EQ(file["bytes_read"], failed ? 0 : content.size()) << name;
        bytesRead += file["bytes_read"].get<std::int64_t>();
        if (file["kind"] == "vob") {
            EXPECT_EQ(file["nv_pck_sectors"], expectedNavPacks(content).size() / kSector) << name;
            packs += file["nv_pck_sectors"].get<std::int64_t>();
        } else {
            EXPECT_EQ(file["nv_pck_sectors"], nullptr) << name;
        }
        EXPECT_EQ(file["status"], failed ? "failed" : "done") << name;
        ASSERT_EQ(file["log_entries"].size(), failed ? 1u : 0u) << name;
        if (failed) {
            const std::string entry = file["log_entries"][0];
            EXPECT_EQ(entry.rfind("[CopyFile] ", 0), 0u) << entry;
            EXPECT_TRUE(has(entry, "; File: VTS_01_0.BUP; cannot create '")) << entry;
        }
    }
    EXPECT_EQ(document["bytes_read"], bytesRead);
    EXPECT_EQ(document["nv_pck_sectors_written"], packs);
    EXPECT_EQ(document["side_files_copied"], 3);
    EXPECT_EQ(document["vobs_scanned"], 3);
    EXPECT_EQ(document["problems"], 1);
    ASSERT_EQ(document["log"]["written"].size(), 1u);
    EXPECT_EQ(document["log"]["written"][0]["file"], temp / "Vantrel.log");
    EXPECT_EQ(document["log"]["written"][0]["entries"], 1);
    EXPECT_TRUE(has(log(), "File: VTS_01_0.BUP"));

    // A refused job gives a document too, and nothing else on stdout.
    const auto refused = run({"--json", temp / "missing", destination()});
    EXPECT_EQ(refused.exitStatus, 2);
    const json refusal = json::parse(refused.out);
    EXPECT_EQ(refusal["outcome"], "refused");
    EXPECT_EQ(refusal["refusal"]["role"], "source");
    EXPECT_EQ(refusal["refusal"]["reason"], described(kNoSuchFolder));
    EXPECT_EQ(refusal["files"], json::array());
}

}  // namespace
}  // namespace vantrel::testing
