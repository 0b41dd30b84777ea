// The scan of one VOB: which sectors are taken, progress, cancel, failures.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#endif

#include "support/dvd_generator.h"
#include "support/test_bed.h"

namespace vantrel::testing {
namespace {

using engine::Bar;
using engine::kTrue;

template <typename Bed>
class ScannerOn : public OnBed<Bed> {
  protected:
    void SetUp() override { this->bed.useFolders(); }
    void scan(const Bytes& vob, const std::string& name = "VTS_01_1.VOB") {
        this->writeFile(this->bed.source() + kSep + name, vob);
        this->bed.form.Process(name);
    }
    Bytes output(const std::string& name = "VTS_01_1.VOB") {
        return this->readFile(this->bed.destination() + kSep + name);
    }
    void expectCleanRun() {
        EXPECT_EQ(this->bed.logText(), "");
        EXPECT_EQ(this->bed.window.barRangeViolations, 0);
        EXPECT_EQ(this->bed.files.openFiles(), 0u);
    }
};

using ScannerTest = ScannerOn<TestBed>;
// A size limit on the real disk, a file beyond 4 GiB.
using DiskScannerTest = ScannerOn<DiskTestBed>;

TEST_F(ScannerTest, AFileOfWholeSectorsIsExaminedSectorBySector) {
    const Bytes vob = makeVob(40, 6, 1);
    scan(vob);
    EXPECT_EQ(output(), expectedNavPacks(vob));
    EXPECT_EQ(output().size(), 7u * kSector) << "sectors 0, 6, ..., 36";
    EXPECT_EQ(bed.window.pumps, 40);
    EXPECT_EQ(bed.window.bar(Bar::ProgFile).value, 40.0f * 2048);
    EXPECT_EQ(bed.window.bar(Bar::ProgFile).max, 41.0f * 2048);
    expectCleanRun();
}

TEST_F(ScannerTest, FilesOfThreeBytesOrFewerAreNotExaminedButGetAnEmptyOutput) {
    for (const std::size_t size : {0u, 1u, 3u}) {
        const Bytes tiny = {0x00, 0x01, 0xBA};
        scan(Bytes(tiny.begin(), tiny.begin() + std::ptrdiff_t(size)));
        EXPECT_TRUE(exists(bed.destination() + kSep + "VTS_01_1.VOB"));
        EXPECT_EQ(output().size(), 0u);
    }
    EXPECT_EQ(bed.window.pumps, 0);
    expectCleanRun();
}

TEST_F(ScannerTest, OnlyBytesTwoToThreeAndFortyToFortyOneAreCompared) {
    Bytes video = makePack(Pack::Video, 1);  // 01 BA, but no 01 BF at 40
    Bytes oddNav = makePack(Pack::Navigation, 2);
    oddNav[0] = 0xFF, oddNav[1] = 0xEE, oddNav[38] = 0x12, oddNav[39] = 0x34;
    Bytes noPack = makePack(Pack::Navigation, 3);
    noPack[3] = 0xBB;  // 00 00 01 BB: not a pack header
    Bytes vob = video;
    vob.insert(vob.end(), oddNav.begin(), oddNav.end());
    vob.insert(vob.end(), noPack.begin(), noPack.end());
    scan(vob);
    EXPECT_EQ(output(), oddNav);
    expectCleanRun();
}

TEST_F(ScannerTest, AMatchingPartialLastSectorIsPaddedWithZeros) {
    const Bytes nav = makePack(Pack::Navigation, 4);
    Bytes vob = makePack(Pack::Video, 5);
    vob.insert(vob.end(), nav.begin(), nav.begin() + 42);  // holds bytes 40-41
    scan(vob);
    Bytes expected(nav.begin(), nav.begin() + 42);
    expected.resize(kSector, 0);
    EXPECT_EQ(output(), expected);
    EXPECT_EQ(bed.window.pumps, 2);
    expectCleanRun();
}

TEST_F(ScannerTest, APartialLastSectorTooShortForItsSecondStartCodeIsNotTaken) {
    const Bytes nav = makePack(Pack::Navigation, 4);
    Bytes vob = makePack(Pack::Video, 5);
    vob.insert(vob.end(), nav.begin(), nav.begin() + 41);  // byte 41 missing
    scan(vob);
    EXPECT_EQ(output().size(), 0u);
    EXPECT_EQ(bed.window.pumps, 2) << "examined all the same: bytes 2-3 are in the file";
    expectCleanRun();
}

TEST_F(ScannerTest, NavigationPacksFarApartLandNextToEachOther) {
    Bytes vob;
    std::vector<Bytes> navs;
    for (std::uint32_t i = 0; i < 3; ++i) {
        navs.push_back(makePack(Pack::Navigation, 100 + i));
        vob.insert(vob.end(), navs.back().begin(), navs.back().end());
        for (std::uint32_t j = 0; j < 50; ++j) {
            const Bytes video = makePack(Pack::Video, 1000 * i + j);
            vob.insert(vob.end(), video.begin(), video.end());
        }
    }
    scan(vob);
    Bytes expected;
    for (const auto& nav : navs) expected.insert(expected.end(), nav.begin(), nav.end());
    EXPECT_EQ(output(), expected);
}

TEST_F(ScannerTest, ACancelStopsBetweenSectorsAndKeepsWhatWasFound) {
    const Bytes vob = makeVob(30, 4, 7);
    bed.window.onPump = [&](long pump) {
        if (pump == 10) bed.form.bCancel = kTrue;
    };
    scan(vob);
    // Sectors 0-8 were examined; the cancel made at the 10th pump stops before sector 9.
    EXPECT_EQ(output(), expectedNavPacks(Bytes(vob.begin(), vob.begin() + 9 * kSector)));
    EXPECT_EQ(bed.window.pumps, 10);
    expectCleanRun();
}

TEST_F(ScannerTest, AnOldOutputIsReplacedNotOverwritten) {
    writeFile(bed.destination() + kSep + "VTS_01_1.VOB", patternBytes(100 * kSector, 9));
    const Bytes vob = makeVob(10, 5, 8);
    scan(vob);
    EXPECT_EQ(output(), expectedNavPacks(vob));
}

TEST_F(ScannerTest, AMissingSourceIsLoggedAndTheNextFileIsScanned) {
    bed.form.Process("GONE.VOB");
    const Bytes vob = makeVob(10, 5, 8);
    scan(vob);
    const std::string path = bed.source() + kSep + "GONE.VOB";
    EXPECT_EQ(bed.logText(),
              "[Process]\r\n07/12/2026 09:05:03\r\nFile: GONE.VOB\r\ncannot measure '" + path +
                  "': " + described(kNoSuchFile) + "\r\n\r\n");
    EXPECT_EQ(output(), expectedNavPacks(vob));
    EXPECT_EQ(bed.files.openFiles(), 0u);
}

TEST_F(ScannerTest, AnOutputThatCannotBeCreatedIsLogged) {
    makeFolder(bed.destination() + kSep + "VTS_01_1.VOB");  // a folder where the output must go
    scan(makeVob(4, 2, 1));
    EXPECT_NE(bed.logText().find("[Process]\r\n"), std::string::npos);
    EXPECT_NE(bed.logText().find("File: VTS_01_1.VOB\r\ncannot create"), std::string::npos);
    EXPECT_EQ(bed.files.openFiles(), 0u);
}

TEST_F(ScannerTest, AReadFailureEndsTheScanWithOneEntry) {
    bed.files.failRead = "VTS_01_1.VOB";
    scan(makeVob(4, 2, 1));
    const std::string log = bed.logText();
    EXPECT_EQ(log.rfind("[Process]\r\n", 0), 0u);
    EXPECT_NE(log.find(described(kIoError) + "\r\n\r\n"), std::string::npos);
    EXPECT_EQ(log.find("[Process]", 1), std::string::npos) << "one entry only";
    EXPECT_EQ(bed.files.openFiles(), 0u);
}

TEST_F(ScannerTest, AReadFailureMidwayKeepsThePacketsFoundBeforeIt) {
    const Bytes vob = makeVob(4096, 2, 5);  // 8 MiB, a packet every other sector
    bed.files.failRead = "VTS_01_1.VOB";
    bed.files.failReadFrom = 3 << 20;  // a bad spot at 3 MiB
    scan(vob);
    EXPECT_EQ(output(), expectedNavPacks(Bytes(vob.begin(), vob.begin() + (3 << 20))))
        << "every sector before the bad spot examined, every packet found kept";
    EXPECT_EQ(bed.logText().rfind("[Process]\r\n", 0), 0u);
    EXPECT_EQ(bed.logText().find("[Process]", 1), std::string::npos);
    EXPECT_EQ(bed.files.openFiles(), 0u);
}

TEST_F(ScannerTest, AFailedWriteIsReportedAtItsOwnSectorAndEndsTheScan) {
    // Every sector a packet: the sixth packet's write is the first to fail.
    bed.files.failWrite = bed.destination();
    bed.files.writesBeforeFailure = 5;
    const Bytes vob = makeVob(600, 1, 3);
    scan(vob);
    EXPECT_EQ(bed.logText(),
              "[CopySector]\r\n07/12/2026 09:05:03\r\nSector: 5 Position: 10241\r\n"
              "cannot write '" +
                  bed.destination() + kSep + "VTS_01_1.VOB': " + described(kDiskFull) +
                  "\r\nFile: VTS_01_1.VOB\r\n\r\n")
        << "one entry, not one per packet left";
    EXPECT_EQ(output(), Bytes(vob.begin(), vob.begin() + 5 * kSector));
    EXPECT_EQ(bed.form.tally().navPacksWritten, 5);
    EXPECT_EQ(bed.form.tally().vobsScanned, 0) << "not scanned to its end";
    EXPECT_EQ(bed.window.pumps, 6);
    EXPECT_EQ(bed.files.openFiles(), 0u);
}

#ifndef _WIN32
TEST_F(DiskScannerTest, AFileSizeLimitLeavesNoFragmentOfAPacket) {
    const Bytes vob = makeVob(600, 1, 3);
    writeFile(bed.source() + "/VTS_01_1.VOB", vob);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{256 * kSector + 1000, 256 * kSector + 1000};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        bed.form.Process("VTS_01_1.VOB");
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_NE(bed.logText().find("Sector: 256 Position: 524289\r\n"), std::string::npos);
    EXPECT_NE(bed.logText().find("File too large\r\nFile: VTS_01_1.VOB\r\n\r\n"),
              std::string::npos);
    EXPECT_EQ(output(), Bytes(vob.begin(), vob.begin() + 256 * kSector))
        << "the 1000 bytes of the packet that did not fit are cut off";
}
#endif

TEST_F(ScannerTest, ASourceCutShortUnderTheScanEndsItWithTheCause) {
    const Bytes vob = makeVob(1000, 2, 4);  // longer than one read-ahead
    const std::string path = bed.source() + kSep + "VTS_01_1.VOB";
    bed.window.onPump = [&](long pump) {
        if (pump == 10) writeFile(path, Bytes(vob.begin(), vob.begin() + 700 * kSector));
    };
    scan(vob);
    EXPECT_EQ(bed.logText(),
              "[Process]\r\n07/12/2026 09:05:03\r\nFile: VTS_01_1.VOB\r\n"
              "cannot read '" +
                  path +
                  "': the file ends before the 2048000 bytes "
                  "it had when its scan began\r\n\r\n");
    EXPECT_EQ(output(), expectedNavPacks(Bytes(vob.begin(), vob.begin() + 700 * kSector)));
    EXPECT_EQ(bed.window.pumps, 701) << "no read attempted for each missing sector";
    EXPECT_EQ(bed.form.tally().bytesRead, 700 * std::int64_t(kSector));
}

TEST_F(ScannerTest, AnUnreadableSpotCostsAFewReadsAndOnlyItsOwnSector) {
    const Bytes vob = makeVob(4096, 2, 5);  // 8 MiB, a packet every other sector
    bed.files.failRead = "VTS_01_1.VOB";
    bed.files.failReadFrom = (3 << 20) + 1000;  // one bad byte inside packet 1536
    bed.files.failReadTo = bed.files.failReadFrom + 1;
    scan(vob);
    EXPECT_EQ(bed.logText().rfind("[CopySector]\r\n07/12/2026 09:05:03\r\nSector: 1536 ", 0), 0u);
    EXPECT_EQ(bed.logText().find('[', 1), std::string::npos) << "one entry";
    Bytes expected = expectedNavPacks(vob);
    expected.erase(expected.begin() + 768 * kSector, expected.begin() + 769 * kSector);
    EXPECT_EQ(output(), expected) << "every other packet kept";
    EXPECT_LE(bed.files.badRegionReads, 3) << "the read-ahead, its narrowing, the packet's read";
}

TEST_F(DiskScannerTest, VobsBeyondFourGibibytesAreScannedToTheirEnd) {
    const std::int64_t sectors = (std::int64_t{4} << 30) / 2048 + 2;
    const std::string path = bed.source() + kSep + "BIG.VOB";
    writeFile(path, Bytes{});
    std::filesystem::resize_file(nativePath(path), std::uintmax_t(sectors - 1) * 2048);  // zeros
    const Bytes nav = makePack(Pack::Navigation, 42);
    std::ofstream(nativePath(path), std::ios::binary | std::ios::app)
        .write(reinterpret_cast<const char*>(nav.data()), std::streamsize(nav.size()));
    bed.form.Process("BIG.VOB");
    EXPECT_EQ(readFile(bed.destination() + kSep + "BIG.VOB"), nav);
    EXPECT_EQ(bed.window.bar(Bar::ProgFile).value, float(sectors * 2048));
    expectCleanRun();
}

}  // namespace
}  // namespace vantrel::testing
