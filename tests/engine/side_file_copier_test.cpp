// CopyFiles and CopyFile: clearing the destination, exact copies, progress,
// cancel and failures.

#include <gtest/gtest.h>

#include "support/dvd_generator.h"
#include "support/test_bed.h"

namespace vantrel::testing {
namespace {

using engine::Bar;
using engine::kTrue;

template <typename Bed>
class CopierOn : public OnBed<Bed> {
  protected:
    void SetUp() override { this->bed.useFolders(); }
    std::string src(const std::string& name) const { return this->bed.source() + kSep + name; }
    std::string dst(const std::string& name) const { return this->bed.destination() + kSep + name; }
    void expectCopied(const std::string& name) {
        ASSERT_TRUE(this->exists(dst(name))) << name;
        EXPECT_EQ(this->readFile(dst(name)), this->readFile(src(name))) << name;
    }
};

using CopierTest = CopierOn<TestBed>;
// What only a real folder has: hidden entries, a folder named like a VOB.
using DiskCopierTest = CopierOn<DiskTestBed>;

TEST_F(CopierTest, SideFilesOfEveryLengthAreCopiedExactly) {
    writeFile(src("VTS_01_0.IFO"), patternBytes(3 * kSector, 1));  // 6 blocks, no tail
    writeFile(src("VTS_02_0.IFO"), patternBytes(1536, 2));         // 1 block and 512
    writeFile(src("VIDEO_TS.BUP"), patternBytes(700, 3));          // the tail alone
    writeFile(src("VTS_01_0.BUP"), Bytes{});                       // empty
    bed.form.CopyFiles();
    for (const char* name : {"VTS_01_0.IFO", "VTS_02_0.IFO", "VIDEO_TS.BUP", "VTS_01_0.BUP"})
        expectCopied(name);
    EXPECT_EQ(bed.window.pumps, 4 + 6 + 1) << "one per file and one per whole block";
    EXPECT_EQ(bed.logText(), "");
    EXPECT_EQ(bed.window.barRangeViolations, 0) << "a file without a whole block has maximum 0";
    EXPECT_EQ(bed.files.openFiles(), 0u);
}

TEST_F(CopierTest, InformationFilesComeFirstAndTheBarsCountFilesAndBlocks) {
    bed.window.recordCalls = true;
    writeFile(src("b.BUP"), patternBytes(2048, 1));
    writeFile(src("a.ifo"), patternBytes(3000, 2));
    writeFile(src("c.IFO"), patternBytes(10, 3));
    writeFile(src("VTS_01_1.VOB"), patternBytes(4096, 4));
    bed.form.CopyFiles();
    std::vector<std::string> order;
    for (const auto& call : bed.window.calls)
        if (call.rfind("setPanelText 1 ", 0) == 0) order.push_back(call);
    EXPECT_EQ(order, (std::vector<std::string>{"setPanelText 1 0", "setPanelText 1 1",
                                               "setPanelText 1 2"}))
        << "the panel shows the count before each file is added";
    EXPECT_EQ(bed.window.bar(Bar::Prog).value, 3);
    EXPECT_FALSE(exists(dst("VTS_01_1.VOB"))) << "VOBs are not side files";
    EXPECT_EQ(bed.window.bar(Bar::ProgFile).max, 2) << "b.BUP, copied last, has two blocks";
    const auto first = [&](const std::string& call) {
        return std::find(bed.window.calls.begin(), bed.window.calls.end(), call) -
               bed.window.calls.begin();
    };
    EXPECT_LT(first("setMax ProgFile 2"), first("setMax ProgFile 0")) << "a.ifo before c.IFO";
    EXPECT_LT(first("setMax ProgFile 0"), first("setValue Prog 3"));
}

TEST_F(DiskCopierTest, TheClearingStepDeletesOnlyOldDvdFiles) {
    for (const char* name :
         {"VTS_01_1.VOB", "VIDEO_TS.IFO", "video_ts.Bup", "notes.txt", "x.vob.old", ".hidden.vob"})
        writeFile(dst(name), "old");
#ifdef _WIN32
    hide(dst(".hidden.vob"));  // a leading dot hides nothing on Windows
#endif
    makeFolder(dst("extra.vob"));
    bed.form.CopyFiles();
    for (const char* gone : {"VTS_01_1.VOB", "VIDEO_TS.IFO", "video_ts.Bup"})
        EXPECT_FALSE(exists(dst(gone))) << gone;
    for (const char* kept : {"notes.txt", "x.vob.old", ".hidden.vob", "extra.vob"})
        EXPECT_TRUE(exists(dst(kept))) << kept;
    EXPECT_EQ(bed.logText(), "");
}

TEST_F(CopierTest, ACancelInsideAFileKeepsItsWholeBlocksAndEndsThePhase) {
    writeFile(src("A.IFO"), patternBytes(10 * 1024 + 5, 1));
    writeFile(src("B.IFO"), patternBytes(100, 2));
    writeFile(src("A.BUP"), patternBytes(100, 3));
    bed.window.onPump = [&](long pump) {
        if (pump == 4) bed.form.bCancel = kTrue;  // after A.IFO's third block
    };
    bed.form.CopyFiles();
    const Bytes original = readFile(src("A.IFO"));
    EXPECT_EQ(readFile(dst("A.IFO")), Bytes(original.begin(), original.begin() + 3 * 1024));
    EXPECT_FALSE(exists(dst("B.IFO")));
    EXPECT_FALSE(exists(dst("A.BUP")));
    EXPECT_EQ(bed.window.bar(Bar::Prog).value, 1);
    EXPECT_EQ(bed.files.openFiles(), 0u);
}

TEST_F(CopierTest, ACancelBetweenFilesSkipsTheRest) {
    writeFile(src("A.IFO"), patternBytes(100, 1));
    writeFile(src("B.IFO"), patternBytes(100, 2));
    writeFile(src("A.BUP"), patternBytes(100, 3));
    bed.window.onPump = [&](long) { bed.form.bCancel = kTrue; };
    bed.form.CopyFiles();
    expectCopied("A.IFO");
    EXPECT_FALSE(exists(dst("B.IFO")));
    EXPECT_FALSE(exists(dst("A.BUP")));
    EXPECT_EQ(bed.window.pumps, 1);
}

TEST_F(CopierTest, AFileThatCannotBeCopiedIsLoggedAndTheNextOneIsCopied) {
    writeFile(src("A.IFO"), patternBytes(5000, 1));
    writeFile(src("B.IFO"), patternBytes(5000, 2));
    writeFile(src("C.IFO"), patternBytes(5000, 3));
    makeFolder(dst("A.IFO"));  // cannot be written: a folder stands in its place
    bed.files.failRead = "B.IFO";
    bed.form.CopyFiles();
    const std::string log = bed.logText();
    EXPECT_EQ(log, "[CopyFile]\r\n07/12/2026 09:05:03\r\nFile: A.IFO\r\ncannot create '" +
                       dst("A.IFO") + "': " + described(kIsAFolder) + "\r\n\r\n" +
                       "[CopyFile]\r\n07/12/2026 09:05:03\r\nFile: B.IFO\r\ncannot read '" +
                       src("B.IFO") + "': " + described(kIoError) + "\r\n\r\n");
    expectCopied("C.IFO");
    EXPECT_EQ(bed.window.bar(Bar::Prog).value, 3) << "every attempted file counts";
    EXPECT_EQ(bed.files.openFiles(), 0u);
}

TEST_F(CopierTest, AFailingClearingStepEndsThePhaseWithOneEntry) {
    writeFile(dst("OLD.IFO"), "old");
    writeFile(src("A.IFO"), patternBytes(100, 1));
    bed.files.failRemove = "OLD.IFO";
    bed.form.CopyFiles();
    EXPECT_EQ(bed.logText(), "[CopyFiles]\r\n07/12/2026 09:05:03\r\nFile: \r\ncannot delete '" +
                                 dst("OLD.IFO") + "': " + described(kBusy) + "\r\n\r\n");
    EXPECT_FALSE(exists(dst("A.IFO")));
    EXPECT_EQ(bed.window.bar(Bar::Prog).value, 0);
}

TEST_F(CopierTest, AFailingListingNamesTheLastListedFile) {
    writeFile(src("A.IFO"), patternBytes(100, 1));
    writeFile(src("A.BUP"), patternBytes(100, 1));
    bed.window.onPump = [&](long) { bed.files.failListing = bed.source(); };
    bed.form.CopyFiles();
    expectCopied("A.IFO");
    EXPECT_EQ(bed.logText().substr(0, 48),
              "[CopyFiles]\r\n07/12/2026 09:05:03\r\nFile: \r\ncannot");
    EXPECT_FALSE(exists(dst("A.BUP")));
}

}  // namespace
}  // namespace vantrel::testing
