// vantrel-cli under POSIX's own means: signals, pipes, users, full devices,
// file systems without locks, disc images.

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <ctime>
#include <nlohmann/json.hpp>

#include "cli/cli_fixture.h"
#include "support/case_folding_folder.h"
#include "support/dvd_generator.h"
#include "support/exfat_folder.h"
#include "support/faulty_file_system.h"
#include "support/scoped_env.h"
#include "support/udf_records.h"

namespace vantrel::testing {
namespace {

// A UDF image of a small DVD-like folder, as genisoimage makes one; false
// when genisoimage is missing.
bool makeImage(const TempFolder& temp, const std::string& image) {
    makeDvdFolder(temp / "disc/VIDEO_TS", 1, 20);
    return runProgram("/usr/bin/genisoimage", {"-quiet", "-udf", "-o", image, temp / "disc"})
               .exitStatus == 0;
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

// Under Wine, making 32768 files in one folder takes minutes: each new name is
// looked for without regard to case in the whole folder.
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
        // A script's way to stop it, where a script would want the document.
        const bool json = signalNumber == SIGTERM;
        std::vector<std::string> arguments = {source(), destination()};
        if (json) arguments.insert(arguments.begin(), "--json");
        bool sent = false;
        const auto result =
            runProgram(program(), arguments, [&](pid_t child, const std::string& err) {
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
        if (json) {
            const auto document = nlohmann::json::parse(result.out);
            EXPECT_EQ(document["outcome"], "cancelled");
            EXPECT_EQ(document["files"][0]["status"], "cancelled");
            EXPECT_LT(document["bytes_read"], std::int64_t{1} << 30) << "what was read";
            continue;
        }
        EXPECT_NE(result.out.find("0 VOBs scanned"), std::string::npos) << result.out;
        EXPECT_EQ(result.out.find(" GB read"), std::string::npos) << "what was read, not 17 GB";
    }
}

TEST_F(CliTest, AFileSizeLimitIsAFullDiskNotTheEndOfTheProgram) {
    makeDvdFolder(source(), 2, 400);  // side files of 24 and 40 KiB, VOBs of 58 and more packets
    ChildSetup limited;
    limited.fileSizeLimit = 32 * kSector + 1000;
    const auto result = runProgram(program(), {source(), destination()}, {}, limited);
    EXPECT_EQ(result.exitStatus, 3) << "not ended by SIGXFSZ (153)\n" << result.err;
    for (const char* side : {"VIDEO_TS.IFO", "VIDEO_TS.BUP", "VTS_01_0.IFO", "VTS_01_0.BUP"})
        EXPECT_EQ(readFile(destination() + "/" + side), readFile(source() + "/" + side)) << side;
    const std::string logged = log();
    for (const char* vob : {"VIDEO_TS.VOB", "VTS_01_1.VOB", "VTS_01_2.VOB"}) {
        const Bytes packets = expectedNavPacks(readFile(source() + "/" + vob));
        ASSERT_GT(packets.size(), 32 * kSector);
        EXPECT_EQ(readFile(destination() + "/" + vob),
                  Bytes(packets.begin(), packets.begin() + 32 * kSector))
            << vob << ": the packets that fit, and no fragment of the next";
        EXPECT_NE(logged.find("cannot write '" + destination() + "/" + vob +
                              "': " + described(EFBIG) + "\r\nFile: " + vob + "\r\n\r\n"),
                  std::string::npos)
            << logged;
    }
    EXPECT_EQ(logged.find("[", logged.find("[", logged.find("[", 1) + 1) + 1), std::string::npos)
        << "one entry per VOB";
    EXPECT_NE(result.out.find("0 VOBs scanned, 96 NV_PCK sectors written"), std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("3 problems were written to"), std::string::npos) << result.out;
}

TEST_F(CliTest, TwoSourceNamesThatMeetInACaseFoldingDestinationKeepTheFirstOutput) {
    const CaseFoldingFolder folded(temp.path());
    if (!folded.path()) GTEST_SKIP() << folded.whyNot();
    const std::string out = *folded.path();
    makeDvdFolder(source(), 1, 30);
    writeFile(source() + "/video_ts.ifo", patternBytes(3000, 8));
    writeFile(source() + "/vts_01_1.vob", makeVob(40, 3, 9));
    const auto result = run({source(), out});
    EXPECT_EQ(result.exitStatus, 3) << result.err;
    EXPECT_EQ(readFile(out + "/VIDEO_TS.IFO"), readFile(source() + "/VIDEO_TS.IFO"));
    EXPECT_EQ(readFile(out + "/VTS_01_1.VOB"),
              expectedNavPacks(readFile(source() + "/VTS_01_1.VOB")));
    for (const auto& [name, first] :
         {std::pair{"video_ts.ifo", "VIDEO_TS.IFO"}, std::pair{"vts_01_1.vob", "VTS_01_1.VOB"}})
        EXPECT_NE(log().find(std::string("File: ") + name + "\r\ncannot create '" + out + "/" +
                             name + "': it is the same file as the output of " + first + "\r\n"),
                  std::string::npos)
            << log();
    EXPECT_NE(result.out.find("4 side files copied, 2 VOBs scanned"), std::string::npos)
        << result.out;
}

// exFAT gives a hole the space of data: a sparse copy there would fill the
// disk with zeros. Refused before anything is written, also into a DEST to be
// made; the packed copy goes there as anywhere.
TEST_F(CliTest, ASparseCopyIsRefusedOnExfatBeforeAnythingIsWritten) {
    const ExfatFolder exfat(temp.path());
    if (!exfat.path()) GTEST_SKIP() << exfat.whyNot();
    const std::string out = *exfat.path();
    makeDvdFolder(source(), 2, 40);
    std::int64_t whole = 0;
    for (const std::string& name : namesIn(source()))
        whole += std::int64_t(readFile(source() + "/" + name).size());
    writeFile(out + "/VTS_01_1.VOB", makeNavPack(0));  // an earlier copy's

    for (const std::string& folder : {out, out + "/new"}) {
        const auto refused = run({"-S", source(), folder});
        EXPECT_EQ(refused.exitStatus, 2);
        EXPECT_EQ(refused.err, "vantrel-cli: invalid destination folder '" + folder +
                                   "': its file system gives holes space, as FAT and exFAT do: "
                                   "a sparse copy would take " +
                                   std::to_string(whole) +
                                   " bytes there, the whole length of its files\n");
        EXPECT_EQ(namesIn(out), std::vector<std::string>{"VTS_01_1.VOB"}) << "no probe left";
        EXPECT_EQ(readFile(out + "/VTS_01_1.VOB"), makeNavPack(0));
    }
    const auto packed = run({source(), out});
    EXPECT_EQ(packed.exitStatus, 0) << packed.err;
    EXPECT_EQ(readFile(out + "/VTS_01_1.VOB"),
              expectedNavPacks(readFile(source() + "/VTS_01_1.VOB")));
}

// A name is bytes on POSIX; the document stays valid JSON all the same.
TEST_F(CliTest, TheJsonDocumentReplacesBytesOfANameThatAreNotUtf8) {
    writeFile(source() + "/menu\xff.ifo", patternBytes(3000, 2));
    const auto result = run({"--json", source(), destination()});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(nlohmann::json::parse(result.out)["files"][0]["name"], "menu\uFFFD.ifo");
    EXPECT_TRUE(exists(destination() + "/menu\xff.ifo"));
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

TEST_F(CliTest, OutputThatCannotBeWrittenIsAWriteErrorWithStatusOne) {
    makeDvdFolder(source(), 1, 20);
    const std::vector<std::vector<std::string>> commands = {{"--help"},
                                                            {"--version"},
                                                            {"-n", source(), destination()},
                                                            {"--json", source(), destination()},
                                                            {source(), destination()}};
    for (std::vector<std::string> arguments : commands) {
        arguments.insert(arguments.begin(), {"-c", "exec \"$0\" \"$@\" >/dev/full", program()});
        const auto result = runProgram("/bin/sh", arguments);
        EXPECT_EQ(result.exitStatus, 1) << arguments[3];
        const std::string line = "vantrel-cli: write error: " + described(ENOSPC) + "\n";
        EXPECT_EQ(result.err.substr(result.err.size() - std::min(result.err.size(), line.size())),
                  line)
            << arguments[3] << ": " << result.err;
    }
    EXPECT_EQ(readFile(destination() + "/VTS_01_1.VOB"),
              expectedNavPacks(readFile(source() + "/VTS_01_1.VOB")))
        << "the job's outputs as ever";
}

// As on some network and FUSE file systems, a lock cannot be had at all.
TEST_F(CliTest, ADestinationThatCannotBeLockedIsRefusedWithTheReason) {
    makeDvdFolder(source(), 1, 4);
    writeFile(destination() + "/VTS_01_1.VOB", "an earlier output");
    ChildSetup withoutLocks;
    withoutLocks.flockError = ENOLCK;
    const auto result = runProgram(program(), {source(), destination()}, {}, withoutLocks);
    EXPECT_EQ(result.exitStatus, 2);
    EXPECT_EQ(result.err, "vantrel-cli: invalid destination folder '" + destination() +
                              "': " + described(ENOLCK) + "\n");
    EXPECT_EQ(readText(destination() + "/VTS_01_1.VOB"), "an earlier output");
}

// Names in an image may hold any character: a damaged entry's name is shown
// on one line, its control characters as "?".
TEST_F(CliTest, ADamagedImageEntryRefusesTheImageAndItsNameIsShownOnOneLine) {
    const std::string image = temp / "disc.iso";
    if (!makeImage(temp, image)) GTEST_SKIP() << "genisoimage is missing";
    Bytes bytes = readFile(image);
    const UdfFileRecords vob = findUdfFile(bytes, "VTS_01_1.VOB");
    const std::string name =
        "V\n\x1b\x9b"
        "01_1.VOB";  // \x9b: U+009B, a C1 control, in the image
    std::copy(name.begin(), name.end(), bytes.begin() + std::ptrdiff_t(vob.name));
    bytes[vob.fileEntry + kUdfFileLength + 7] = 0x80;  // a length of 2^63 bytes and more
    writeFile(image, bytes);
    const auto result = run({"--json", image, destination()});
    EXPECT_EQ(result.exitStatus, 2);
    EXPECT_EQ(result.err, "vantrel-cli: cannot open '" + image +
                              ":VIDEO_TS/V???01_1.VOB': its entry is damaged\n");
    EXPECT_EQ(nlohmann::json::parse(result.out)["outcome"], "refused");
}
// The read is held in front of the system's (LD_PRELOAD) as a drive retrying
// a bad spot holds it in the kernel: no signal ends it. A file lease would
// not do: the program opens its files without blocking, and a lease then
// fails the open at once instead of holding it.
TEST_F(CliTest, CtrlCDuringAReadTheDiscKeepsStopsTheJobAtOnceWithWholeSectors) {
    const std::string vob = source() + "/VTS_01_1.VOB";
    const Bytes start = makeVob(400, 7, 5);
    writeFile(vob, start);
    const ScopedEnv preload("LD_PRELOAD", VANTREL_HELD_READ_SHIM);
    const ScopedEnv asan("ASAN_OPTIONS", "verify_asan_link_order=0");  // the shim comes first
    const ScopedEnv held("VANTREL_HOLD_READ", vob.c_str());
    const ScopedEnv from("VANTREL_HOLD_FROM", "262144");  // the second read-ahead
    bool sent = false;
    const auto result = runProgram(program(), {"--json", source(), destination()},
                                   [&](pid_t child, const std::string& err) {
                                       if (sent || err.find("held read: holding") == err.npos)
                                           return;
                                       ::kill(child, SIGINT);
                                       sent = true;
                                   });
    ASSERT_TRUE(sent) << result.err;
    EXPECT_EQ(result.err.find("held read: let go"), std::string::npos)
        << "the program waited for the read";
    EXPECT_EQ(result.exitStatus, 128 + SIGINT) << result.err;
    EXPECT_EQ(readFile(destination() + "/VTS_01_1.VOB"), expectedNavPacks(sectors(start, 0, 128)))
        << "the whole sectors found before the read that waits";
    EXPECT_EQ(log(), "");
    const auto document = nlohmann::json::parse(result.out);
    EXPECT_EQ(document["outcome"], "cancelled");
    EXPECT_EQ(document["files"][0]["status"], "cancelled");
    EXPECT_EQ(document["files"][0]["bytes_read"], 128 * kSector);
}

// The image is held with a lease, so that the program's open of it waits until
// the test, told by SIGIO that the open has begun, has sent Ctrl-C.
TEST_F(CliTest, CtrlCWhileADiscImageIsOpenedStopsTheJobWithItsDocument) {
    const std::string image = temp / "disc.iso";
    if (!makeImage(temp, image)) GTEST_SKIP() << "genisoimage is missing";
    sigset_t leaseBreak, before;
    sigemptyset(&leaseBreak);
    sigaddset(&leaseBreak, SIGIO);
    ASSERT_EQ(::sigprocmask(SIG_BLOCK, &leaseBreak, &before), 0);
    const int lease = ::open(image.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::fcntl(lease, F_SETLEASE, F_WRLCK), 0);
    const std::string out = temp / "document.json", err = temp / "err.txt";
    const ProcessId child = startProgram("/bin/sh",
                                         {"-c", "exec \"$0\" \"$@\" >'" + out + "' 2>'" + err + "'",
                                          program(), "--json", image, temp / "unmade"},
                                         {});
    const timespec giveUp{60, 0};
    const bool opening = ::sigtimedwait(&leaseBreak, nullptr, &giveUp) == SIGIO;
    ::kill(child, SIGINT);
    ::close(lease);
    int status = 0;
    ::waitpid(child, &status, 0);
    ::sigprocmask(SIG_SETMASK, &before, nullptr);
    ASSERT_TRUE(opening) << "the program never opened the image";
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << status;
    EXPECT_EQ(readText(err), "vantrel-cli: stopped before the job began\n");
    const auto document = nlohmann::json::parse(readText(out));
    EXPECT_EQ(document["outcome"], "cancelled");
    EXPECT_EQ(document["files"], nlohmann::json::array());
    EXPECT_FALSE(exists(temp / "unmade"));
}

}  // namespace
}  // namespace vantrel::testing
