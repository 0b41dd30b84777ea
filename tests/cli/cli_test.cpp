// vantrel-cli as a user runs it: a real process on real folders.

#include "cli/cli_fixture.h"

#include "platform/folder_lock.h"
#include "platform/system_file_system.h"
#include "support/dvd_generator.h"
#include "support/faulty_file_system.h"

namespace vantrel::testing {
namespace {

TEST_F(CliTest, ExtractsADvdFolderExactly) {
    makeDvdFolder(source(), 2, 300);
    writeFile(source() + "/vts_02_1.vob", makeVob(77, 9, 5));
    const auto result = run({source(), destination()});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    for (const char* side : {"VIDEO_TS.IFO", "VIDEO_TS.BUP", "VTS_01_0.IFO", "VTS_01_0.BUP"})
        EXPECT_EQ(readFile(destination() + "/" + side), readFile(source() + "/" + side)) << side;
    for (const char* vob : {"VIDEO_TS.VOB", "VTS_01_1.VOB", "VTS_01_2.VOB", "vts_02_1.vob"}) {
        const Bytes expected = expectedNavPacks(readFile(source() + "/" + vob));
        EXPECT_FALSE(expected.empty());
        EXPECT_EQ(readFile(destination() + "/" + vob), expected) << vob;
    }
    EXPECT_NE(result.out.find("4 side files copied, 4 VOBs scanned"), std::string::npos)
        << result.out;
    EXPECT_NE(result.err.find("[1/8] VIDEO_TS.IFO\n"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("[8/8] vts_02_1.vob\n"), std::string::npos) << result.err;
    EXPECT_EQ(result.err.find('\a'), std::string::npos) << "no alert unless asked for";
    EXPECT_EQ(log(), "");
}

TEST_F(CliTest, WithoutStandardStreamsTheOutputsAreTheSame) {
    makeDvdFolder(source(), 2, 300);
    const auto normal = run({source(), destination()});
    ASSERT_EQ(normal.exitStatus, 0) << normal.err;
    const std::string bare = temp / "bare";
    makeFolder(bare);
    // Progress and summary go nowhere; no output opened takes their place.
    const auto result = runProgram(program(), {source(), bare}, {}, {true});
    EXPECT_EQ(result.exitStatus, 0);
    for (const char* name : {"VIDEO_TS.IFO", "VIDEO_TS.BUP", "VTS_01_0.IFO", "VTS_01_0.BUP",
                             "VIDEO_TS.VOB", "VTS_01_1.VOB", "VTS_01_2.VOB"})
        EXPECT_EQ(readFile(bare + kSep + name), readFile(destination() + kSep + name)) << name;
    EXPECT_EQ(log(), "");
}

TEST_F(CliTest, OptionsAreBundledAbbreviatedAndEndedAsInGnuTools) {
    makeDvdFolder(source(), 1, 20);
    const auto quiet = run({"--qui", source(), destination()});
    EXPECT_EQ(quiet.exitStatus, 0);
    EXPECT_EQ(quiet.out + quiet.err, "");
    const auto alert = run({source(), "-qa", destination()});
    EXPECT_EQ(alert.err, "\aDone with coping!\n");

#ifndef _WIN32  // env -C
    // After "--" a folder may begin with a dash; one VOB is "1 VOB".
    std::filesystem::remove(source() + "/VIDEO_TS.VOB");
    makeFolder(temp / "-out");
    const auto ended =
        runProgram("/usr/bin/env", {"-C", temp.path(), program(), "--al", "--", "DVD", "-out"});
    EXPECT_EQ(ended.exitStatus, 0) << ended.err;
    EXPECT_NE(ended.err.find("\aDone with coping!\n"), std::string::npos);
    EXPECT_EQ(ended.out.rfind("4 side files copied, 1 VOB scanned, ", 0), 0u) << ended.out;
    EXPECT_TRUE(exists(temp / "-out/VTS_01_1.VOB"));
#endif
}

TEST_F(CliTest, AUsageErrorTakesOneLineAndExitsWithTwo) {
    const std::string tryHelp = "Try 'vantrel-cli --help' for more information.\n";
    const std::vector<std::pair<std::vector<std::string>, std::string>> errors = {
        {{"--frobnicate", source(), destination()}, "unrecognized option '--frobnicate'"},
        {{"-qx", source(), destination()}, "invalid option -- 'x'"},
        {{source()}, "missing DEST folder operand after '" + source() + "'"},
        {{source(), source() + kSep, destination()},
         "'" + source() + "' and '" + source() + kSep + "' would both be copied into '" +
             destination() + kSep + "DVD'"},
        {{"--ver", source(), destination()},
         "option '--ver' is ambiguous; possibilities: '--verify' '--version'"},
        {{"-n", "--verify", source(), destination()}, "--dry-run cannot be combined with --verify"},
        {{"--verify"}, "missing DEST folder operand"}};
    for (const auto& [arguments, message] : errors) {
        const auto result = run(arguments);
        EXPECT_EQ(result.exitStatus, 2) << message;
        EXPECT_EQ(result.err, "vantrel-cli: " + message + "\n" + tryHelp);
        EXPECT_EQ(result.out, "");
    }
}

TEST_F(CliTest, ARefusedFolderIsNamedWithTheReason) {
    writeFile(temp / "plain", "");
    const std::vector<std::pair<std::vector<std::string>, std::string>> refusals = {
        {{temp / "missing", destination()},
         "invalid source folder '" + (temp / "missing") + "': " + described(kNoSuchFolder)},
        {{source(), temp / "plain"},
         "invalid destination folder '" + (temp / "plain") + "': " + described(kNotAFolder)},
        {{source(), source() + "/."},
         "invalid destination folder '" + source() + "/.': it is the source folder"},
        {{source(), destination()},
         "no files (*.vob) for processing found in '" + source() + kSep + "'"}};
    for (const auto& [arguments, message] : refusals) {
        const auto result = run(arguments);
        EXPECT_EQ(result.exitStatus, 2) << message;
        EXPECT_EQ(result.err, "vantrel-cli: " + message + "\n");
    }
    EXPECT_EQ(log(), "") << "refusals are told, not logged";

    // Another extraction holds the destination: nothing in it is touched.
    makeDvdFolder(source(), 1, 4);
    writeFile(destination() + "/VTS_01_1.VOB", "another job's output");
    platform::SystemFileSystem files;
    platform::FolderLock lock(files);
    ASSERT_TRUE(lock.acquire(destination()));
    const auto result = run({source(), destination()});
    lock.release();
    EXPECT_EQ(result.exitStatus, 2);
    EXPECT_EQ(result.err, "vantrel-cli: invalid destination folder '" + destination() +
                              "': in use by another extraction\n");
    EXPECT_EQ(readText(destination() + "/VTS_01_1.VOB"), "another job's output");

    // Another disc's rip as destination: the job and its dry run refuse it whole.
    const std::string rip = temp / "rip";
    makeDvdFolder(rip, 1, 30);
    const Bytes ripVob = readFile(rip + "/VTS_01_1.VOB");
    for (const auto& options : {std::vector<std::string>{}, std::vector<std::string>{"-n"}}) {
        auto arguments = options;
        arguments.insert(arguments.end(), {source(), rip});
        const auto refused = run(arguments);
        EXPECT_EQ(refused.exitStatus, 2);
        EXPECT_EQ(refused.err, "vantrel-cli: invalid destination folder '" + rip +
                                   "': VIDEO_TS.VOB (61440 bytes) holds a disc's video, not a "
                                   "copy's NV_PCK sectors\n");
    }
    EXPECT_EQ(readFile(rip + "/VTS_01_1.VOB"), ripVob);
    EXPECT_EQ(namesIn(rip).size(), 6u);
}

TEST_F(CliTest, HelpAndVersion) {
    const auto help = run({"--help"});
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_EQ(help.out.rfind("Usage: vantrel-cli [OPTION]... SOURCE DEST\n", 0), 0u);
    EXPECT_NE(help.out.find(temp / "Vantrel.log"), std::string::npos) << "where the log goes";
    const auto version = run({"--version"});
    EXPECT_EQ(version.exitStatus, 0);
    EXPECT_EQ(version.out.rfind("vantrel-cli ", 0), 0u);
}

TEST_F(CliTest, FailuresAreLoggedEchoedAndTheJobGoesOn) {
    makeDvdFolder(source(), 1, 20);
    makeFolder(destination() + "/VIDEO_TS.IFO");  // cannot be written
#ifndef _WIN32                                    // Windows allows no control characters in names
    writeFile(source() + "/bad\x1b[2Jname.ifo", "x");
    makeFolder(destination() + "/bad\x1b[2Jname.ifo");
#endif
    const auto result = run({source(), destination()});
    EXPECT_EQ(result.exitStatus, 3) << "done, but not every file";
    EXPECT_EQ(log().rfind("[CopyFile]\r\n", 0), 0u);
    // Each entry on one line of its own, the log's line breaks turned into "; ".
    EXPECT_NE(result.err.find("vantrel-cli: [CopyFile] "), std::string::npos) << result.err;
#ifndef _WIN32
    EXPECT_EQ(result.err.find('\x1b'), std::string::npos) << "no escape reaches the terminal";
    EXPECT_NE(result.err.find("; File: bad\\x1B[2Jname.ifo; cannot create '"), std::string::npos)
        << "as the log writes it";
#endif
    EXPECT_NE(result.err.find("; File: VIDEO_TS.IFO; cannot create '" + destination() + kSep +
                              "VIDEO_TS.IFO': " + described(kIsAFolder) + "\n"),
              std::string::npos);
    EXPECT_TRUE(exists(destination() + "/VTS_01_1.VOB"));
}

}  // namespace
}  // namespace vantrel::testing
