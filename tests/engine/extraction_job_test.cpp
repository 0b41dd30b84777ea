// One press of Extract from start to end: validation, census, the lock, the
// two phases, progress, cancel, the wind-down and the job's own failures.

#include <gtest/gtest.h>

#include <filesystem>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "support/dvd_generator.h"
#include "support/scoped_env.h"
#include "support/test_bed.h"

namespace vantrel::testing {
namespace {

using engine::Bar;
using engine::Input;
using engine::kFalse;
using engine::kTrue;
using engine::MessageIcon;
using engine::MousePointer;
using engine::TextBox;

template <typename Bed>
class JobOn : public OnBed<Bed> {
  protected:
    void SetUp() override {
        this->bed.window.texts[TextBox::txtVobDir] = this->bed.source();
        this->bed.window.texts[TextBox::txtDest] = this->bed.destination();
        this->bed.window.alert = engine::kChecked;
    }
    std::string src(const std::string& name) const { return this->bed.source() + kSep + name; }
    std::string dst(const std::string& name) const { return this->bed.destination() + kSep + name; }
    void expectIdle() {
        EXPECT_EQ(this->bed.form.bBusy, kFalse);
        EXPECT_EQ(this->bed.form.bCancel, kFalse);
        EXPECT_FALSE(this->bed.window.bar(Bar::Prog).visible);
        EXPECT_FALSE(this->bed.window.bar(Bar::ProgFile).visible);
        const std::array<std::string, 3> emptyPanels{};
        EXPECT_EQ(this->bed.window.panels, emptyPanels);
        for (const auto& [input, enabled] : this->bed.window.enabled) EXPECT_TRUE(enabled);
        EXPECT_EQ(this->bed.window.pointer, MousePointer::Default);
        EXPECT_EQ(this->bed.window.barRangeViolations, 0);
        EXPECT_EQ(this->bed.files.openFiles(), 0u);
        EXPECT_EQ(this->bed.events.problems(), std::vector<std::string>{});
    }
    void expectDoneAlert(std::size_t messages = 1) {
        EXPECT_EQ(this->bed.window.beeps, 1);
        ASSERT_EQ(this->bed.window.messages.size(), messages);
        EXPECT_EQ(this->bed.window.messages.back().prompt, "Done with coping!");
        EXPECT_EQ(this->bed.window.messages.back().title, "Done");
        EXPECT_EQ(this->bed.window.messages.back().icon, MessageIcon::Information);
    }
    void expectScanned(const std::string& name) {
        ASSERT_TRUE(this->exists(dst(name))) << name;
        EXPECT_EQ(this->readFile(dst(name)), expectedNavPacks(this->readFile(src(name)))) << name;
    }
    // Where a call stands among the recorded calls.
    std::ptrdiff_t indexOf(const std::string& call) {
        const auto& calls = this->bed.window.calls;
        return std::find(calls.begin(), calls.end(), call) - calls.begin();
    }
};

using JobTest = JobOn<TestBed>;
// A whole job on the real disk; links; two windows on one folder.
using DiskJobTest = JobOn<DiskTestBed>;

TEST_F(DiskJobTest, AWholeDvdFolderIsExtracted) {
    makeDvdFolder(bed.source(), 3, 60);
    writeFile(src("vts_02_1.vob"), makeVob(33, 4, 77));
    writeFile(src("Vts_02_0.Ifo"), patternBytes(4000, 5));
    writeFile(src("notes.txt"), "not a DVD file");
    writeFile(dst("VTS_09_1.VOB"), "stale");
    bed.form.cmdGo_Click();

    for (const char* side :
         {"VIDEO_TS.IFO", "VIDEO_TS.BUP", "VTS_01_0.IFO", "VTS_01_0.BUP", "Vts_02_0.Ifo"})
        EXPECT_EQ(readFile(dst(side)), readFile(src(side))) << side;
    for (const char* vob :
         {"VIDEO_TS.VOB", "VTS_01_1.VOB", "VTS_01_2.VOB", "VTS_01_3.VOB", "vts_02_1.vob"})
        expectScanned(vob);
    EXPECT_FALSE(exists(dst("VTS_09_1.VOB")));
    EXPECT_FALSE(exists(dst("notes.txt")));
    EXPECT_EQ(bed.window.bar(Bar::Prog).max, 10);
    EXPECT_EQ(bed.window.bar(Bar::Prog).value, 10);
    EXPECT_EQ(bed.window.texts[TextBox::txtVobDir], bed.source() + kSep);
    EXPECT_EQ(bed.logText(), "");
    expectDoneAlert();
    expectIdle();
    EXPECT_EQ(bed.window.closes, 0);
    EXPECT_EQ(bed.form.tally().sideFilesCopied, 5);
    EXPECT_EQ(bed.form.tally().vobsScanned, 5);
}

TEST_F(JobTest, TheWindowIsLockedAndReleasedInItsOrder) {
    makeDvdFolder(bed.source(), 1, 10);
    bed.window.recordCalls = true;
    bool busyDuringPumps = true;
    bed.window.onPump = [&](long) {
        busyDuringPumps &= bed.form.bBusy == kTrue && bed.window.bar(Bar::Prog).visible &&
                           bed.window.bar(Bar::ProgFile).visible &&
                           bed.window.pointer == MousePointer::Hourglass;
    };
    bed.form.cmdGo_Click();
    EXPECT_TRUE(busyDuringPumps);
    const std::vector<std::string> lock = {
        "setEnabled txtDest 0", "setEnabled txtVobDir 0", "setEnabled cmdGo 0",
        "setMousePointer 11",   "setPanelText 2 6",       "setMin Prog 0",
        "setValue Prog 0",      "setMax Prog 6",          "setVisible Prog 1",
        "setMin ProgFile 0",    "setVisible ProgFile 1"};
    const auto start = indexOf(lock.front());
    ASSERT_LT(std::size_t(start + long(lock.size())), bed.window.calls.size());
    EXPECT_EQ(std::vector<std::string>(bed.window.calls.begin() + start,
                                       bed.window.calls.begin() + start + long(lock.size())),
              lock);
    const std::vector<std::string> windDown = {"setPanelText 1 6",
                                               "setVisible Prog 0",
                                               "setVisible ProgFile 0",
                                               "setMousePointer 0",
                                               "setEnabled cmdGo 1",
                                               "setEnabled txtDest 1",
                                               "setEnabled txtVobDir 1",
                                               "beep",
                                               "messageBox Done with coping! 64 Done",
                                               "setPanelText 1 ",
                                               "setPanelText 2 ",
                                               "setPanelText 3 "};
    EXPECT_EQ(std::vector<std::string>(bed.window.calls.end() - long(windDown.size()),
                                       bed.window.calls.end()),
              windDown);
    EXPECT_LT(indexOf("setPanelText 3 VIDEO_TS.VOB"), indexOf("setPanelText 3 VTS_01_1.VOB"));
}

TEST_F(JobTest, AFolderWithSideFilesOnlyRunsWithoutAnyVob) {
    writeFile(src("VIDEO_TS.IFO"), patternBytes(2048, 1));
    writeFile(src("VIDEO_TS.BUP"), patternBytes(2048, 1));
    bed.form.cmdGo_Click();
    EXPECT_EQ(readFile(dst("VIDEO_TS.IFO")), readFile(src("VIDEO_TS.IFO")));
    EXPECT_EQ(bed.window.bar(Bar::Prog).value, 2);
    expectDoneAlert();
    expectIdle();
}

TEST_F(JobTest, AFolderWithoutDvdFilesIsRefusedAndNothingChanges) {
    writeFile(src("notes.txt"), "x");
    bed.window.recordCalls = true;
    bed.form.cmdGo_Click();
    ASSERT_EQ(bed.window.messages.size(), 1u);
    EXPECT_EQ(bed.window.messages[0].prompt, "No files (*.vob) for processing found!");
    EXPECT_EQ(bed.window.messages[0].title, "Error");
    EXPECT_EQ(bed.window.messages[0].icon, MessageIcon::Critical);
    EXPECT_EQ(bed.window.calls.size(), 3u) << "two separators appended and the message";
    EXPECT_EQ(bed.window.beeps, 0);
    expectIdle();
}

TEST_F(JobTest, AnInvalidFolderStopsBeforeTheCensus) {
    bed.window.texts[TextBox::txtDest] = bed.temp / "missing";
    makeDvdFolder(bed.source(), 1, 4);
    bed.form.cmdGo_Click();
    ASSERT_EQ(bed.window.messages.size(), 1u);
    EXPECT_EQ(bed.window.messages[0].prompt, "Invalid Destination Dir!");
    EXPECT_EQ(bed.window.pumps, 0);
    expectIdle();
}

TEST_F(JobTest, ExitDuringTheSideFilesSkipsTheRestAndClosesAfterTheWindDown) {
    makeDvdFolder(bed.source(), 2, 10);
    bed.window.onPump = [&](long pump) {
        if (pump == 1) bed.form.cmdExit_Click();
        EXPECT_EQ(bed.window.closes, 0) << "Exit returns at once and leaves the closing to the job";
    };
    bed.form.cmdGo_Click();
    EXPECT_TRUE(exists(dst("VIDEO_TS.IFO")));
    EXPECT_FALSE(exists(dst("VIDEO_TS.BUP")));
    EXPECT_FALSE(exists(dst("VTS_01_0.IFO")));
    for (const char* vob : {"VIDEO_TS.VOB", "VTS_01_1.VOB", "VTS_01_2.VOB"})
        EXPECT_FALSE(exists(dst(vob))) << "no VOB is started";
    expectDoneAlert();
    expectIdle();
    EXPECT_EQ(bed.window.closes, 1);
}

TEST_F(JobTest, ACancelInsideAScanKeepsWhatWasFoundAndStartsNoFurtherVob) {
    makeDvdFolder(bed.source(), 2, 50);
    const long sidePumps = 4 + 2 * 24 + 2 * 40;  // per file, and per 1024-byte block
    bed.window.onPump = [&](long pump) {
        // The first VOB's pump, then 20 of its sectors.
        if (pump == sidePumps + 1 + 20) bed.form.bCancel = kTrue;
    };
    bed.form.cmdGo_Click();
    const Bytes vob = readFile(src("VIDEO_TS.VOB"));
    EXPECT_EQ(readFile(dst("VIDEO_TS.VOB")),
              expectedNavPacks(Bytes(vob.begin(), vob.begin() + 19 * kSector)));
    EXPECT_FALSE(exists(dst("VTS_01_1.VOB")));
    expectDoneAlert();
    expectIdle();
    EXPECT_EQ(bed.window.closes, 0) << "a cancel without Exit leaves the window open";
}

TEST_F(JobTest, ACancelBetweenVobsStartsNoFurtherScan) {
    makeDvdFolder(bed.source(), 2, 10);
    bed.window.onPump = [&](long) {
        if (bed.window.panels[2] == "VIDEO_TS.VOB" && bed.window.bar(Bar::Prog).value == 5)
            bed.form.bCancel = kTrue;  // at the VOB loop's pump after the first VOB
    };
    bed.form.cmdGo_Click();
    expectScanned("VIDEO_TS.VOB");
    EXPECT_EQ(readFile(dst("VTS_01_1.VOB")).size(), 0u) << "opened, but not one sector examined";
    EXPECT_FALSE(exists(dst("VTS_01_2.VOB")));
    expectIdle();
}

TEST_F(JobTest, WithoutTheAlertTheJobEndsSilently) {
    bed.window.alert = engine::kUnchecked;
    makeDvdFolder(bed.source(), 1, 5);
    bed.form.cmdGo_Click();
    EXPECT_EQ(bed.window.beeps, 0);
    EXPECT_TRUE(bed.window.messages.empty());
    expectIdle();
}

TEST_F(JobTest, AFailureOfTheJobItselfIsLoggedAndTheWindowReturnsToIdle) {
    makeDvdFolder(bed.source(), 1, 10);
    bed.window.onPump = [&](long) { bed.files.failLookUp = bed.source(); };
    bed.form.cmdGo_Click();
    // The VOB list cannot look at the source folder any more.
    EXPECT_EQ(bed.logText(), std::string("[cmdGo_Click]\r\n") + kFixedTimestamp +
                                 "\r\ncannot look up '" + bed.source() + kSep +
                                 "': " + described(kIoError) + "\r\n\r\n");
    EXPECT_EQ(bed.window.beeps, 0);
    EXPECT_TRUE(bed.window.messages.empty());
    expectIdle();
    bed.form.cmdExit_Click();
    EXPECT_EQ(bed.window.closes, 1) << "Exit afterwards closes at once";
}

TEST_F(JobTest, AFailingValidationIsLoggedAsAJobFailure) {
    bed.files.failLookUp = bed.source();
    bed.form.cmdGo_Click();
    EXPECT_EQ(bed.logText().rfind("[cmdGo_Click]\r\n", 0), 0u);
    EXPECT_TRUE(bed.window.messages.empty());
    expectIdle();
}

TEST_F(JobTest, AFullDiskCostsOneEntryPerVobAndTheDoneBoxSaysWhereTheyAre) {
    makeDvdFolder(bed.source(), 2, 60);
    bed.files.failWrite = ".VOB";  // the side files fit, no packet does
    bed.form.cmdGo_Click();
    const std::string log = bed.logText();
    int entries = 0;
    for (auto at = log.find('['); at != std::string::npos; at = log.find('[', at + 1)) ++entries;
    EXPECT_EQ(entries, 3) << log;
    EXPECT_EQ(log.find("[Process]"), std::string::npos);
    EXPECT_EQ(readFile(dst("VTS_01_0.IFO")), readFile(src("VTS_01_0.IFO")));
    const engine::JobTally& tally = bed.form.tally();
    EXPECT_EQ(tally.navPacksWritten, 0);
    EXPECT_EQ(tally.vobsScanned, 0);
    EXPECT_EQ(tally.problems.entries(), 3);
    EXPECT_EQ(bed.window.beeps, 1);
    ASSERT_EQ(bed.window.messages.size(), 1u);
    EXPECT_EQ(bed.window.messages[0].prompt,
              "Done with coping!\n3 problems were written to " + bed.logPath() + ".");
    EXPECT_EQ(bed.window.messages[0].title, "Done");
    EXPECT_EQ(bed.window.messages[0].icon, MessageIcon::Exclamation);
    expectIdle();

    // A log that passes its limit during the job starts afresh: the box says
    // how many of the job's entries it still holds.
    writeFile(bed.logPath(), std::string(51'100, 'x'));
    bed.window.messages.clear();
    bed.form.cmdGo_Click();
    EXPECT_EQ(bed.window.messages.at(0).prompt,
              "Done with coping!\n3 problems were written to " + bed.logPath() +
                  "; it was restarted when it passed 51,200 bytes and holds the last 2.");
    EXPECT_EQ(bed.logText().find('x'), std::string::npos);
}

// "Done" means on disk: each output and then the destination are flushed
// before the box says so, and a flush that fails is a problem like a write.
TEST_F(JobTest, EveryOutputAndTheDestinationAreFlushedBeforeDone) {
    makeDvdFolder(bed.source(), 1, 10);
    std::vector<std::string> flushedBeforeDone;
    bed.window.onMessage = [&](const auto&) { flushedBeforeDone = bed.files.flushes; };
    bed.form.cmdGo_Click();
    std::vector<std::string> expected;
    for (const char* name : {"VIDEO_TS.IFO", "VTS_01_0.IFO", "VIDEO_TS.BUP", "VTS_01_0.BUP",
                             "VIDEO_TS.VOB", "VTS_01_1.VOB"})
        expected.push_back(dst(name));
    expected.push_back(bed.destination());
    EXPECT_EQ(flushedBeforeDone, expected);

    bed.files.failFlush = "VTS_01_1.VOB";
    bed.files.failFolderFlush = true;
    bed.form.cmdGo_Click();
    const std::string prefix = std::string("\r\n") + kFixedTimestamp + "\r\n";
    EXPECT_EQ(bed.logText(), "[Process]" + prefix + "File: VTS_01_1.VOB\r\ncannot flush '" +
                                 dst("VTS_01_1.VOB") + "': " + described(kIoError) +
                                 "\r\n\r\n[cmdGo_Click]" + prefix + "cannot flush '" +
                                 bed.destination() + kSep + "': " + described(kIoError) +
                                 "\r\n\r\n");
    EXPECT_EQ(bed.window.messages.back().prompt,
              "Done with coping!\n2 problems were written to " + bed.logPath() + ".");
    EXPECT_EQ(bed.form.tally().vobsScanned, 1);
    expectIdle();
}

// A log beside the program that stops taking entries hands them on to the
// user's state log; what no log took is never claimed as written.
TEST(JobLogTest, TheDoneBoxClaimsOnlyTheEntriesThatReachedALog) {
    TempFolder state;
#ifdef _WIN32
    const ScopedEnv stateFolder("LOCALAPPDATA", state.path().c_str());
    const std::string userLog = state / "Vantrel\\Vantrel.log";
#else
    const ScopedEnv stateFolder("XDG_STATE_HOME", state.path().c_str());
    const std::string userLog = state / "vantrel/Vantrel.log";
#endif
    const auto runJob = [](DiskTestBed& bed) {
        makeDvdFolder(bed.source(), 2, 4);
        bed.window.texts[TextBox::txtVobDir] = bed.source();
        bed.window.texts[TextBox::txtDest] = bed.destination();
        bed.window.alert = engine::kChecked;
        bed.files.failOpenForWriting = ".VOB";  // three VOBs, three entries
        bed.form.cmdGo_Click();
        EXPECT_EQ(bed.form.tally().problems.entries(), 3);
        return bed.window.messages.at(0).prompt;
    };

    DiskTestBed full;
    full.files.failWrite = full.logPath();  // its disk fills after the first entry
    full.files.writesBeforeFailure = 1;
    EXPECT_EQ(runJob(full), "Done with coping!\n3 problems were written: 1 to " + full.logPath() +
                                ", 2 to " + userLog + ".");
    EXPECT_EQ(full.logText().rfind("[Process]"), 0u) << "the first entry, whole";
    const std::string moved = readText(userLog);
    EXPECT_EQ(moved.find("[Process]", 1), moved.rfind("[Process]")) << "the other two, whole";

    writeFile(state / "plain", "a file: nothing can be made below it");
    const ScopedEnv noStateFolder(
#ifdef _WIN32
        "LOCALAPPDATA",
#else
        "XDG_STATE_HOME",
#endif
        (state / "plain").c_str());
    DiskTestBed lost;
    makeFolder(lost.logPath());  // a folder where the log beside the program should be
    const std::string prompt = runJob(lost);
    EXPECT_EQ(prompt.rfind("Done with coping!\n3 problems could not be written to the log (" +
                               (state / "plain") + kSep,
                           0),
              0u)
        << prompt;
    EXPECT_EQ(prompt.find("were written"), std::string::npos) << prompt;
}

TEST_F(DiskJobTest, ASecondJobIntoTheSameDestinationIsRefusedBeforeAnythingIsDeleted) {
    makeDvdFolder(bed.source(), 1, 40);
    DiskTestBed other;  // a second window, on the same destination
    other.window.texts[TextBox::txtVobDir] = bed.source();
    other.window.texts[TextBox::txtDest] = bed.destination();
    other.window.alert = engine::kChecked;
    bed.window.onPump = [&](long pump) {
        if (pump == 1) other.form.cmdGo_Click();
    };
    bed.form.cmdGo_Click();
    ASSERT_EQ(other.window.messages.size(), 1u);
    EXPECT_EQ(other.window.messages[0].prompt, "Invalid Destination Dir!");
    EXPECT_EQ(other.form.refusal()->reason, "in use by another extraction");
    EXPECT_EQ(other.window.pumps, 0);
    for (const char* vob : {"VIDEO_TS.VOB", "VTS_01_1.VOB"}) expectScanned(vob);
    other.form.cmdGo_Click();
    EXPECT_EQ(other.window.messages.back().prompt, "Done with coping!")
        << "free again once the first job is done";
}

TEST_F(JobTest, ADestinationTheJobCannotLockIsRefusedBeforeAnythingIsDeleted) {
    makeDvdFolder(bed.source(), 1, 4);
    writeFile(dst("VTS_01_1.VOB"), "an earlier output");
    bed.files.failLock = bed.destination();
    bed.form.cmdGo_Click();
    ASSERT_EQ(bed.window.messages.size(), 1u);
    EXPECT_EQ(bed.window.messages[0].prompt, "Invalid Destination Dir!");
    EXPECT_EQ(bed.window.focusHistory, std::vector<TextBox>{TextBox::txtDest});
    EXPECT_EQ(bed.form.refusal()->reason, described(kAccessDenied));
    EXPECT_EQ(readText(dst("VTS_01_1.VOB")), "an earlier output");
    EXPECT_EQ(bed.window.pumps, 0);
    EXPECT_EQ(bed.logText(), "");
}

#ifndef _WIN32  // Wine makes no links that Windows programs can see as such
TEST_F(DiskJobTest, OutputsNeverFollowALinkOutOfTheDestination) {
    makeDvdFolder(bed.source(), 1, 20);
    writeFile(bed.temp / "outside.txt", "keep");
    ASSERT_EQ(::symlink(src("EVIL.VOB").c_str(), dst("VTS_01_1.VOB").c_str()), 0);
    ASSERT_EQ(::symlink((bed.temp / "outside.txt").c_str(), dst("video_ts.ifo").c_str()), 0);
    bed.form.cmdGo_Click();
    EXPECT_FALSE(exists(src("EVIL.VOB")));
    EXPECT_EQ(readText(bed.temp / "outside.txt"), "keep");
    expectScanned("VTS_01_1.VOB");
    EXPECT_EQ(readFile(dst("VIDEO_TS.IFO")), readFile(src("VIDEO_TS.IFO")));
    EXPECT_EQ(bed.logText(), "");
}

// The destination renamed during the job and a link to another disc's folder
// put in its place: the job's outputs still land in the folder it locked.
TEST_F(DiskJobTest, ADestinationReplacedByALinkDuringTheJobIsNotFollowed) {
    makeDvdFolder(bed.source(), 2, 20);
    const std::string otherDisc = bed.temp / "other", moved = bed.temp / "moved";
    makeFolder(otherDisc);
    writeFile(otherDisc + "/VTS_01_2.VOB", "another disc's video");
    bed.window.onPump = [&](long pump) {
        if (pump != 1) return;
        std::filesystem::rename(bed.destination(), moved);
        ASSERT_EQ(::symlink(otherDisc.c_str(), bed.destination().c_str()), 0);
    };
    bed.form.cmdGo_Click();
    EXPECT_EQ(namesIn(otherDisc), std::vector<std::string>{"VTS_01_2.VOB"});
    EXPECT_EQ(readText(otherDisc + "/VTS_01_2.VOB"), "another disc's video");
    EXPECT_EQ(namesIn(moved), namesIn(bed.source()));
    EXPECT_EQ(readFile(moved + "/VTS_01_2.VOB"), expectedNavPacks(readFile(src("VTS_01_2.VOB"))));
    EXPECT_EQ(bed.logText(), "");
}
#endif

#ifndef _WIN32  // a source that holds both names
TEST_F(JobTest, TwoSourceNamesThatMeetInOneDestinationFileKeepTheFirstOutput) {
    makeDvdFolder(bed.source(), 1, 30);
    writeFile(src("video_ts.ifo"), patternBytes(3000, 8));
    writeFile(src("vts_01_1.vob"), makeVob(40, 3, 9));
    bed.files.ignoreCase = bed.destination();
    bed.form.cmdGo_Click();
    EXPECT_EQ(readFile(dst("VIDEO_TS.IFO")), readFile(src("VIDEO_TS.IFO")));
    expectScanned("VTS_01_1.VOB");
    const auto entry = [&](const char* kind, const char* name, const char* first) {
        return std::string("[") + kind + "]\r\n" + kFixedTimestamp + "\r\nFile: " + name +
               "\r\ncannot create '" + dst(name) + "': it is the same file as the output of " +
               first + "\r\n\r\n";
    };
    EXPECT_EQ(bed.logText(), entry("CopyFile", "video_ts.ifo", "VIDEO_TS.IFO") +
                                 entry("Process", "vts_01_1.vob", "VTS_01_1.VOB"));
    EXPECT_EQ(bed.form.tally().sideFilesCopied, 4);
    EXPECT_EQ(bed.form.tally().vobsScanned, 2);
    expectIdle();
}
#endif

TEST_F(JobTest, ExitWhileIdleClosesAtOnceAndNeverLeavesACancelBehind) {
    bed.form.cmdExit_Click();
    EXPECT_EQ(bed.window.closes, 1);
    EXPECT_EQ(bed.form.bCancel, kFalse);
}

}  // namespace
}  // namespace vantrel::testing
