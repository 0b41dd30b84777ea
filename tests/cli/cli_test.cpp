// vantrel-cli as a user runs it: a real process on real folders.

#include <gtest/gtest.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "platform/file_system.h"
#include "support/dvd_generator.h"
#include "support/process_runner.h"
#include "support/temp_folder.h"

namespace vantrel::testing {
namespace {

class CliTest : public ::testing::Test {
  protected:
    // The program runs from a folder of its own, so that its log lands there.
    void SetUp() override {
        std::filesystem::copy_file(VANTREL_CLI_PATH, program());
        makeFolder(source());
        makeFolder(destination());
    }
    std::string program() const { return temp / "vantrel-cli"; }
    std::string source() const { return temp / "DVD"; }
    std::string destination() const { return temp / "out"; }
    std::string log() const {
        return exists(temp / "Vantrel.log") ? readText(temp / "Vantrel.log") : "";
    }
    ProcessResult run(const std::vector<std::string>& arguments) {
        return runProgram(program(), arguments);
    }

    TempFolder temp;
};

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

TEST_F(CliTest, OptionsAreBundledAbbreviatedAndEndedAsInGnuTools) {
    makeDvdFolder(source(), 1, 20);
    const auto quiet = run({"--qui", source(), destination()});
    EXPECT_EQ(quiet.exitStatus, 0);
    EXPECT_EQ(quiet.out + quiet.err, "");
    const auto alert = run({source(), "-qa", destination()});
    EXPECT_EQ(alert.err, "\aDone with coping!\n");

    // After "--" a folder may begin with a dash; one VOB is "1 VOB".
    std::filesystem::remove(source() + "/VIDEO_TS.VOB");
    makeFolder(temp / "-out");
    const auto ended =
        runProgram("/usr/bin/env", {"-C", temp.path(), program(), "--al", "--", "DVD", "-out"});
    EXPECT_EQ(ended.exitStatus, 0) << ended.err;
    EXPECT_NE(ended.err.find("\aDone with coping!\n"), std::string::npos);
    EXPECT_EQ(ended.out.rfind("4 side files copied, 1 VOB scanned, ", 0), 0u) << ended.out;
    EXPECT_TRUE(exists(temp / "-out/VTS_01_1.VOB"));
}

TEST_F(CliTest, AUsageErrorTakesOneLineAndExitsWithTwo) {
    const std::string tryHelp = "Try 'vantrel-cli --help' for more information.\n";
    const std::vector<std::pair<std::vector<std::string>, std::string>> errors = {
        {{"--frobnicate", source(), destination()}, "unrecognized option '--frobnicate'"},
        {{"-qx", source(), destination()}, "invalid option -- 'x'"},
        {{source()}, "missing DEST folder operand after '" + source() + "'"},
        {{source(), destination(), "extra"}, "extra operand 'extra'"}};
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
         "invalid source folder '" + (temp / "missing") + "': No such file or directory"},
        {{source(), temp / "plain"},
         "invalid destination folder '" + (temp / "plain") + "': Not a directory"},
        {{source(), source() + "/."},
         "invalid destination folder '" + source() + "/.': it is the source folder"},
        {{source(), destination()},
         "no files (*.vob) for processing found in '" + source() + "/'"}};
    for (const auto& [arguments, message] : refusals) {
        const auto result = run(arguments);
        EXPECT_EQ(result.exitStatus, 2) << message;
        EXPECT_EQ(result.err, "vantrel-cli: " + message + "\n");
    }
    EXPECT_EQ(log(), "") << "refusals are told, not logged";

    // Another extraction holds the destination: nothing in it is touched.
    makeDvdFolder(source(), 1, 4);
    writeFile(destination() + "/VTS_01_1.VOB", "another job's output");
    platform::PosixFileSystem files;
    const int lock = files.lockFolder(destination());
    ASSERT_GE(lock, 0);
    const auto result = run({source(), destination()});
    files.close(lock);
    EXPECT_EQ(result.exitStatus, 2);
    EXPECT_EQ(result.err, "vantrel-cli: invalid destination folder '" + destination() +
                              "': in use by another extraction\n");
    EXPECT_EQ(readText(destination() + "/VTS_01_1.VOB"), "another job's output");
}

TEST_F(CliTest, AnInstalledProgramLogsToTheUsersStateFolder) {
    // The program in a folder its user may not write to, as under /usr/bin.
    makeDvdFolder(source(), 1, 4);
    makeFolder(destination() + "/VTS_01_0.IFO");  // one failure to log
    const std::string home = temp / "home";
    makeFolder(home);
    std::vector<std::string> command = {"HOME=" + home, "XDG_STATE_HOME=not/absolute", program(),
                                        source(), destination()};
    std::string runner = "/usr/bin/env";
    if (::geteuid() == 0) {  // root may write anywhere: run as nobody
        for (const std::string& folder : {temp.path(), destination(), home})
            ASSERT_EQ(::chown(folder.c_str(), 65534, 65534), 0);
        ::chmod(temp.path().c_str(), 0755);
        command.insert(command.begin(),
                       {"--reuid=65534", "--regid=65534", "--clear-groups", "/usr/bin/env"});
        runner = "/usr/bin/setpriv";
    }
    ::chmod(temp.path().c_str(), 0555);
    const auto result = runProgram(runner, command);
    command.back() = temp.path();
    const auto unwritable = runProgram(runner, command);
    ::chmod(temp.path().c_str(), 0755);
    EXPECT_EQ(unwritable.exitStatus, 2);
    EXPECT_EQ(unwritable.err, "vantrel-cli: invalid destination folder '" + temp.path() +
                                  "': it cannot be written to\n");
    const std::string stateLog = home + "/.local/state/vantrel/Vantrel.log";
    EXPECT_EQ(result.exitStatus, 3) << result.err;
    EXPECT_EQ(log(), "");
    ASSERT_TRUE(exists(stateLog));
    EXPECT_EQ(readText(stateLog).rfind("[CopyFile]\r\n", 0), 0u);
    EXPECT_NE(result.out.find("1 problem was written to " + stateLog + ".\n"), std::string::npos)
        << result.out;
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
    writeFile(source() + "/bad\x1b[2Jname.ifo", "x");
    makeFolder(destination() + "/bad\x1b[2Jname.ifo");
    const auto result = run({source(), destination()});
    EXPECT_EQ(result.exitStatus, 3) << "done, but not every file";
    EXPECT_EQ(log().rfind("[CopyFile]\r\n", 0), 0u);
    EXPECT_EQ(result.err.find('\x1b'), std::string::npos) << "no escape reaches the terminal";
    // Each entry on one line of its own, the log's line breaks turned into "; ".
    EXPECT_NE(result.err.find("\nvantrel-cli: [CopyFile] "), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("; File: bad?[2Jname.ifo; cannot create '"), std::string::npos);
    EXPECT_NE(result.err.find("; File: VIDEO_TS.IFO; cannot create '" + destination() +
                              "/VIDEO_TS.IFO': Is a directory\n"),
              std::string::npos);
    EXPECT_TRUE(exists(destination() + "/VTS_01_1.VOB"));
}

TEST_F(CliTest, AJobThatFailsInItsOwnStepsExitsWithOne) {
    // More VOBs than the job's 16-bit count can hold.
    for (int i = 0; i <= 32767; ++i) writeFile(source() + "/" + std::to_string(i) + ".vob", "");
    const auto result = run({"-q", source(), destination()});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(log().rfind("[cmdGo_Click]\r\n", 0), 0u);
    EXPECT_EQ(result.err.rfind("vantrel-cli: [cmdGo_Click] ", 0), 0u) << result.err;
}

TEST_F(CliTest, CtrlCOrSigtermDuringAScanClosesTheOutputAndEndsBy128PlusTheSignal) {
    const std::string vob = source() + "/VTS_01_1.VOB";
    const Bytes start = makeVob(600, 3, 1);
    writeFile(vob, start);
    ASSERT_EQ(::truncate(vob.c_str(), std::int64_t{16} << 30), 0);  // 16 GiB, sparse
    for (const int signalNumber : {SIGINT, SIGTERM}) {
        bool sent = false;
        const auto result = runProgram(program(), {source(), destination()},
                                       [&](pid_t child, const std::string& err) {
                                           if (!sent && err.find("VTS_01_1.VOB") != err.npos) {
                                               ::usleep(200 * 1000);
                                               ::kill(child, signalNumber);
                                               sent = true;
                                           }
                                       });
        EXPECT_TRUE(sent);
        EXPECT_EQ(result.exitStatus, 128 + signalNumber) << result.err;
        EXPECT_EQ(readFile(destination() + "/VTS_01_1.VOB"), expectedNavPacks(start))
            << "every packet found was written and the file closed";
        EXPECT_EQ(log(), "");
        EXPECT_NE(result.out.find("0 VOBs scanned"), std::string::npos) << result.out;
        EXPECT_EQ(result.out.find(" GB read"), std::string::npos) << "what was read, not 17 GB";
    }
}

TEST_F(CliTest, AReaderThatGoesAwayDoesNotStopTheJob) {
    makeDvdFolder(source(), 3, 50);
    const auto result =
        runProgram("/bin/bash", {"-c", "'" + program() + "' '" + source() + "' '" + destination() +
                                           "' 2>&1 | head -c 20 >/dev/null; "
                                           "exit ${PIPESTATUS[0]}"});
    EXPECT_EQ(result.exitStatus, 0);
    for (const char* vob : {"VTS_01_1.VOB", "VTS_01_2.VOB", "VTS_01_3.VOB"})
        EXPECT_EQ(readFile(destination() + "/" + vob),
                  expectedNavPacks(readFile(source() + "/" + vob)))
            << vob;
}

}  // namespace
}  // namespace vantrel::testing
