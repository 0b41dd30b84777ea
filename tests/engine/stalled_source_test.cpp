// A source that keeps a call for as long as a drive retrying a bad spot
// does: the window goes on being pumped, and Exit ends the job at once.

#include <gtest/gtest.h>

#include "platform/binary_file.h"
#include "support/dvd_generator.h"
#include "support/test_bed.h"

namespace vantrel::testing {
namespace {

using engine::TextBox;

// The call held: the VOB's second read-ahead, or its opening.
enum class Held { Read, Open };

class StalledSourceTest : public OnBed<TestBed>, public ::testing::WithParamInterface<Held> {
  protected:
    std::string src(const std::string& name) const { return bed.source() + kSep + name; }
    std::string dst(const std::string& name) const { return bed.destination() + kSep + name; }
};

// The job ends while the call still waits, which the test lets go of only
// after it has looked at what the job left.
TEST_P(StalledSourceTest, ExitDuringACallTheSourceKeepsEndsTheJobWithWholeSectorsOnly) {
    makeDvdFolder(bed.source(), 2, 4);
    const Bytes vob = makeVob(400, 7, 5);  // longer than one read-ahead
    writeFile(src("VTS_01_1.VOB"), vob);
    bed.useFolders();
    bed.window.alert = engine::kChecked;
    const std::int64_t readAhead = std::int64_t(platform::BinaryFile::kBufferSize);
    if (GetParam() == Held::Read) {
        bed.files.holdRead = src("VTS_01_1.VOB");
        bed.files.holdReadFrom = readAhead;
    } else {
        bed.files.holdOpen = src("VTS_01_1.VOB");
    }
    bool heldAtExit = false;
    bed.window.onWaitingPump = [&](long pump) {
        if (pump != 3) return;
        heldAtExit = bed.files.holding();
        bed.form.cmdExit_Click();
    };
    bed.form.cmdGo_Click();

    EXPECT_TRUE(heldAtExit) << "the window was pumped while the call waited";
    EXPECT_TRUE(bed.files.holding()) << "the job ended without waiting for the call";
    EXPECT_GE(bed.window.waitingPumps, 3);
    EXPECT_EQ(bed.window.closes, 1) << "Exit closed the window after the wind-down";
    ASSERT_EQ(bed.window.messages.size(), 1u);
    EXPECT_EQ(bed.window.messages[0].prompt, "Done with coping!");
    const std::size_t sectorsRead = GetParam() == Held::Read ? std::size_t(readAhead) / kSector : 0;
    if (GetParam() == Held::Read) {
        EXPECT_EQ(readFile(dst("VTS_01_1.VOB")), expectedNavPacks(sectors(vob, 0, sectorsRead)))
            << "the whole sectors found before the read that waits";
    } else {
        EXPECT_FALSE(exists(dst("VTS_01_1.VOB")));
    }
    EXPECT_EQ(readFile(dst("VTS_01_0.IFO")), readFile(src("VTS_01_0.IFO")));
    EXPECT_FALSE(exists(dst("VTS_01_2.VOB"))) << "no VOB is started after Exit";
    EXPECT_EQ(bed.logText(), "") << "a call given up is no failure";
    const auto& events = bed.events.events;
    ASSERT_GE(events.size(), 2u);
    const auto& fileEnd = events[events.size() - 2].fileEnd;
    ASSERT_TRUE(fileEnd.has_value());
    EXPECT_EQ(fileEnd->name, "VTS_01_1.VOB");
    EXPECT_EQ(fileEnd->outcome, engine::FileOutcome::Stopped);
    EXPECT_EQ(fileEnd->bytesRead, std::int64_t(sectorsRead * kSector));
    EXPECT_EQ(events.back().jobEnd->outcome, engine::JobOutcome::Cancelled);
    EXPECT_EQ(bed.events.problems(), std::vector<std::string>{});
    EXPECT_EQ(bed.form.bBusy, engine::kFalse);

    bed.files.release();
}

std::string heldName(const ::testing::TestParamInfo<Held>& held) {
    return held.param == Held::Read ? "Read" : "Open";
}

INSTANTIATE_TEST_SUITE_P(ReadAndOpen, StalledSourceTest, ::testing::Values(Held::Read, Held::Open),
                         heldName);

}  // namespace
}  // namespace vantrel::testing
