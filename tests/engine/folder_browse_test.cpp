// cmdDir_Click with a scripted chooser: where the chooser starts, and what
// reaches the boxes.

#include <gtest/gtest.h>

#include "platform/paths.h"
#include "support/dvd_generator.h"
#include "support/test_bed.h"

namespace vantrel::testing {
namespace {

using engine::TextBox;

// Answers as a user would; keeps where it was opened and with which flags.
class ScriptedChooser final : public platform::FolderDialog {
  public:
    std::string PickFolder(const std::string& start, std::uint32_t flags) override {
        starts.push_back(start);
        lastFlags = flags;
        return answer;
    }
    std::string answer;
    std::vector<std::string> starts;
    std::uint32_t lastFlags = 0;
};

class BrowseTest : public OnBed<TestBed> {
  protected:
    BrowseTest() { bed.services.folderDialog = &chooser; }
    std::string& box(TextBox which) { return bed.window.texts[which]; }

    ScriptedChooser chooser;
};

TEST_F(BrowseTest, TheChooserStartsAtTheBoxsFolderOrItsFallback) {
    box(TextBox::txtVobDir) = "   ";
    bed.form.cmdDir_Click(0);
    box(TextBox::txtVobDir) = bed.temp / "missing";
    bed.form.cmdDir_Click(0);
    box(TextBox::txtDest) = bed.temp / "missing";
    bed.form.cmdDir_Click(1);
    box(TextBox::txtDest) = "";
    bed.form.cmdDir_Click(1);
    box(TextBox::txtDest) = bed.destination();
    bed.form.cmdDir_Click(1);
    const std::string root = platform::systemRoot();
    EXPECT_EQ(chooser.starts, (std::vector<std::string>{bed.temp.path(), bed.temp.path(), root,
                                                        root, bed.destination()}))
        << "the program folder for the source, the root for the destination";
    EXPECT_EQ(chooser.lastFlags, 67u);
}

TEST_F(BrowseTest, ACancelLeavesBothBoxesAlone) {
    box(TextBox::txtVobDir) = "a";
    box(TextBox::txtDest) = "b";
    bed.form.cmdDir_Click(0);
    bed.form.cmdDir_Click(1);
    EXPECT_EQ(box(TextBox::txtVobDir), "a");
    EXPECT_EQ(box(TextBox::txtDest), "b");
}

TEST_F(BrowseTest, TheChosenFolderLandsInItsOwnBoxAsChosen) {
    box(TextBox::txtDest) = "untouched";
    chooser.answer = bed.source();
    bed.form.cmdDir_Click(0);
    EXPECT_EQ(box(TextBox::txtVobDir), bed.source()) << "no separator appended";
    EXPECT_EQ(box(TextBox::txtDest), "untouched");
    chooser.answer = platform::systemRoot();
    bed.form.cmdDir_Click(1);
    EXPECT_EQ(box(TextBox::txtDest), platform::systemRoot());
    EXPECT_EQ(box(TextBox::txtVobDir), bed.source());
    EXPECT_TRUE(bed.window.messages.empty());
    EXPECT_EQ(bed.logText(), "");
}

TEST_F(BrowseTest, AChosenPathTheListingCannotFindChangesNothing) {
    box(TextBox::txtVobDir) = "kept";
    chooser.answer = bed.temp / "vanished";
    bed.form.cmdDir_Click(0);
    EXPECT_EQ(box(TextBox::txtVobDir), "kept");
}

// The job works in the two folders it checked and locked: another disc's rip
// browsed to in the middle of it is neither written nor read, and is what the
// boxes hold for the next job.
TEST_F(BrowseTest, AFolderBrowsedToDuringAJobIsForTheNextJob) {
    makeDvdFolder(bed.source(), 2, 20);
    box(TextBox::txtVobDir) = bed.source();
    box(TextBox::txtDest) = bed.destination();
    const std::string otherRip = bed.temp / "other";
    makeDvdFolder(otherRip, 2, 30);
    const Bytes otherVob = readFile(otherRip + kSep + "VTS_01_2.VOB");
    chooser.answer = otherRip;
    bool browsed = false;
    bed.window.onPump = [&](long) {
        if (!browsed && bed.window.panels[2] == "VTS_01_1.VOB") {
            browsed = true;
            bed.form.cmdDir_Click(1);
            bed.form.cmdDir_Click(0);
        }
    };
    bed.form.cmdGo_Click();
    ASSERT_TRUE(browsed);
    for (const char* vob : {"VTS_01_1.VOB", "VTS_01_2.VOB"})
        EXPECT_EQ(readFile(bed.destination() + kSep + vob),
                  expectedNavPacks(readFile(bed.source() + kSep + vob)))
            << vob;
    EXPECT_EQ(readFile(otherRip + kSep + "VTS_01_2.VOB"), otherVob);
    EXPECT_EQ(box(TextBox::txtVobDir), otherRip);
    EXPECT_EQ(box(TextBox::txtDest), otherRip);
}

}  // namespace
}  // namespace vantrel::testing
