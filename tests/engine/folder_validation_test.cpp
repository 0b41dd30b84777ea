// ValDir and CountFiles: which folder texts pass, what the user is told, and
// which files count.

#include <gtest/gtest.h>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "platform/paths.h"
#include "platform/text.h"
#include "support/dvd_generator.h"
#include "support/test_bed.h"

namespace vantrel::testing {
namespace {

using engine::kFalse;
using engine::kTrue;
using engine::MessageIcon;
using engine::TextBox;

template <typename Bed>
class ValidationOn : public OnBed<Bed> {
  protected:
    std::string& source() { return this->bed.window.texts[TextBox::txtVobDir]; }
    std::string& destination() { return this->bed.window.texts[TextBox::txtDest]; }
    void expectRefused(TextBox box, const std::string& message) {
        const HeadlessWindow& window = this->bed.window;
        ASSERT_EQ(window.messages.size(), 1u);
        EXPECT_EQ(window.messages[0].prompt, message);
        EXPECT_EQ(window.messages[0].title, "Error");
        EXPECT_EQ(window.messages[0].icon, MessageIcon::Critical);
        const auto& selection = window.selections.at(box);
        EXPECT_EQ(selection.start, 0);
        EXPECT_EQ(selection.length, platform::characterCount(window.texts.at(box)));
        EXPECT_EQ(window.focusHistory, std::vector<TextBox>{box});
    }
};

using ValidationTest = ValidationOn<TestBed>;
// Links, and the hidden attribute.
using DiskValidationTest = ValidationOn<DiskTestBed>;

TEST_F(ValidationTest, ABlankOrMissingSourceIsRefusedAndTheDestinationLeftAlone) {
    writeFile(bed.temp / "plain", "");
    const std::vector<std::pair<std::string, std::string>> refusals = {
        {"", "the name is blank"},
        {"   ", "the name is blank"},
        {bed.temp / "missing", described(kNoSuchFolder)},
        {bed.temp / "plain" + kSep, described(kNotAFolder)}};
    for (const auto& [text, reason] : refusals) {
        bed.window.messages.clear();
        bed.window.focusHistory.clear();
        source() = text;
        destination() = "untouched";
        EXPECT_EQ(bed.form.ValDir(), kFalse) << "'" << text << "'";
        expectRefused(TextBox::txtVobDir, "Invalid Vob Dir!");
        EXPECT_EQ(source(), text);
        EXPECT_EQ(destination(), "untouched");
        ASSERT_TRUE(bed.form.refusal());
        EXPECT_EQ(bed.form.refusal()->reason, reason);
    }
}

TEST_F(ValidationTest, ValidFoldersGetTheSeparatorWhenTheyLackIt) {
    source() = bed.source();
    destination() = bed.destination() + kSep;
    EXPECT_EQ(bed.form.ValDir(), kTrue);
    EXPECT_EQ(source(), bed.source() + kSep);
    EXPECT_EQ(destination(), bed.destination() + kSep);
    EXPECT_TRUE(bed.window.messages.empty());

    // The other slash: a separator Windows also takes, a character in a name elsewhere.
    const std::string other = kSep == "/" ? "\\" : "/";
    writeFile(bed.temp / "plain", "a file passes the folder test");
    makeFolder(bed.temp / ("back" + other));
    source() = bed.temp / "plain";
    destination() = bed.temp / ("back" + other);
    EXPECT_EQ(bed.form.ValDir(), kTrue);
    EXPECT_EQ(source(), bed.temp / "plain") << "a file's name (a disc image's) gets none";
    EXPECT_EQ(destination(), (bed.temp / ("back" + other)) + kSep)
        << "only the platform's own separator counts";
}

TEST_F(ValidationTest, AnInvalidDestinationIsRefusedAfterTheSourceGotItsSeparator) {
    source() = bed.source();
    destination() = bed.temp / "caf\xc3\xa9-missing";
    EXPECT_EQ(bed.form.ValDir(), kFalse);
    EXPECT_EQ(source(), bed.source() + kSep);
    expectRefused(TextBox::txtDest, "Invalid Destination Dir!");
    EXPECT_EQ(bed.window.selections[TextBox::txtDest].length,
              int((bed.temp / "cafe-missing").size()))
        << "characters, not bytes";
}

TEST_F(DiskValidationTest, TheSourceFolderIsRefusedAsDestinationHoweverItIsSpelt) {
    std::vector<std::string> spellings = {bed.source(), bed.source() + kSep,
                                          bed.source() + kSep + kSep, bed.source() + kSep + ".",
                                          bed.destination() + kSep + ".." + kSep + "src"};
#ifndef _WIN32
    ASSERT_EQ(::symlink(bed.source().c_str(), (bed.temp / "link").c_str()), 0);
    spellings.insert(spellings.end(), {bed.temp / "link", bed.temp / "link/"});
#endif
    for (const auto& spelling : spellings) {
        bed.window.messages.clear();
        bed.window.focusHistory.clear();
        source() = bed.source();
        destination() = spelling;
        EXPECT_EQ(bed.form.ValDir(), kFalse) << spelling;
        expectRefused(TextBox::txtDest, "Invalid Destination Dir!");
        EXPECT_EQ(destination(), spelling);
    }
}

// The clearing step would delete a rip's video: such a destination is refused
// whole, while the NV_PCK-only outputs of an earlier job are cleared as ever.
TEST_F(ValidationTest, ADestinationHoldingADiscsVideoIsRefusedBeforeAnythingIsDeleted) {
    makeDvdFolder(bed.source(), 1, 40);
    source() = bed.source();
    destination() = bed.destination();
    // A sparse copy is cleared like a packed one: its holes are sectors of zeros.
    bed.form.setCopyKind(engine::CopyKind::Sparse);
    bed.form.cmdGo_Click();
    bed.form.setCopyKind(engine::CopyKind::Packed);
    bed.form.cmdGo_Click();
    EXPECT_EQ(bed.window.messages.size(), 0u);
    EXPECT_EQ(readFile(bed.destination() + kSep + "VTS_01_1.VOB"),
              expectedNavPacks(readFile(bed.source() + kSep + "VTS_01_1.VOB")))
        << "the second job cleared and rewrote the first one's outputs";

    const std::string rip = bed.temp / "rip";
    makeDvdFolder(rip, 2, 40);
    writeFile(rip + kSep + "VIDEO_TS.VOB", Bytes(kSector - 1, 0));  // holds nothing: no proof
    const std::string before = readText(rip + kSep + "VTS_01_1.VOB");
    destination() = rip;
    bed.form.cmdGo_Click();
    expectRefused(TextBox::txtDest,
                  "Invalid Destination Dir!\nVTS_01_1.VOB in it holds a disc's video, not a "
                  "copy's NV_PCK sectors; nothing was deleted.");
    EXPECT_EQ(bed.form.refusal()->reason,
              "VTS_01_1.VOB (" + std::to_string(40 * kSector) +
                  " bytes) holds a disc's video, not a copy's NV_PCK sectors");
    EXPECT_EQ(namesIn(rip).size(), 7u);
    EXPECT_EQ(readText(rip + kSep + "VTS_01_1.VOB"), before);
    EXPECT_EQ(bed.logText(), "");

    // A disc image named like a DVD file: its 16 empty sectors pass for a
    // sparse copy's holes, its volume descriptors after them do not.
    Bytes image(17 * kSector, 0);
    const unsigned char descriptor[] = {0x00, 'B', 'E', 'A', '0', '1', 0x01};
    std::copy(std::begin(descriptor), std::end(descriptor), image.begin() + 16 * kSector);
    writeFile(rip + kSep + "VTS_01_1.VOB", image);
    bed.form.cmdGo_Click();
    EXPECT_EQ(bed.form.refusal()->reason,
              "VTS_01_1.VOB (" + std::to_string(17 * kSector) +
                  " bytes) holds a disc's video, not a copy's NV_PCK sectors");
    EXPECT_EQ(readFile(rip + kSep + "VTS_01_1.VOB"), image);
}

TEST_F(ValidationTest, ASparseCopyWhereHolesTakeSpaceIsRefusedBeforeAnythingIsWritten) {
    makeDvdFolder(bed.source(), 2, 40);
    const std::string earlier = bed.destination() + kSep + "VTS_01_1.VOB";
    writeFile(earlier, makeNavPack(0));
    source() = bed.source();
    destination() = bed.destination();
    bed.disk.holesTakeSpace = true;  // FAT, exFAT
    bed.form.setCopyKind(engine::CopyKind::Sparse);
    bed.form.cmdGo_Click();

    std::int64_t whole = 0;
    for (const std::string& name : namesIn(bed.source()))
        whole += std::int64_t(readFile(bed.source() + kSep + name).size());
    const std::string reason =
        "its file system gives holes space, as FAT and exFAT do: a sparse copy would take " +
        std::to_string(whole) + " bytes there, the whole length of its files";
    expectRefused(TextBox::txtDest, "Invalid Destination Dir!\nNo sparse copy there: " + reason +
                                        "; nothing was written.");
    const auto& refused = bed.events.events.back().jobEnd;
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->refusal->reason, reason);
    EXPECT_EQ(refused->copy, engine::CopyKind::Sparse);
    EXPECT_EQ(namesIn(bed.destination()), std::vector<std::string>{"VTS_01_1.VOB"});
    EXPECT_EQ(readFile(earlier), makeNavPack(0));
    EXPECT_EQ(bed.logText(), "");

    // A packed copy takes no more there than anywhere.
    bed.form.setCopyKind(engine::CopyKind::Packed);
    bed.form.cmdGo_Click();
    EXPECT_EQ(bed.events.events.back().jobEnd->outcome, engine::JobOutcome::Done);
    EXPECT_EQ(readFile(earlier), expectedNavPacks(readFile(bed.source() + kSep + "VTS_01_1.VOB")));
}

// A disc's root folder, as a mounted disc or a copy of one has it, stands for
// its VIDEO_TS folder in any letter case: the job reads there, the box keeps
// the root, and neither the root (the copy would land beside VIDEO_TS, and
// the root would read it from then on) nor its VIDEO_TS folder can be the
// destination. Found empty, that folder gets the message any folder gets.
TEST_F(ValidationTest, ADiscsRootFolderIsReadThroughItsVideoTsFolder) {
    const std::string disc = bed.temp / "disc", videoTs = disc + kSep + "video_ts";
    makeDvdFolder(videoTs, 1, 20);
    makeFolder(disc + kSep + "AUDIO_TS");
    const std::vector<std::string> discFiles = namesIn(videoTs);
    source() = disc;
    destination() = bed.destination();
    bed.form.cmdGo_Click();
    EXPECT_TRUE(bed.window.messages.empty());
    EXPECT_EQ(readFile(bed.destination() + kSep + "VTS_01_1.VOB"),
              expectedNavPacks(readFile(videoTs + kSep + "VTS_01_1.VOB")));
    EXPECT_EQ(namesIn(bed.destination()), discFiles);
    EXPECT_EQ(source(), disc + kSep);
    EXPECT_EQ(bed.events.events.back().jobEnd->source, videoTs + kSep);

    for (const std::string& root : {disc, videoTs + kSep}) {
        bed.window.messages.clear();
        bed.window.focusHistory.clear();
        destination() = root;
        bed.form.cmdGo_Click();
        expectRefused(TextBox::txtDest, "Invalid Destination Dir!");
        EXPECT_EQ(bed.form.refusal()->reason, "it is the source folder") << root;
        EXPECT_EQ(namesIn(videoTs), discFiles) << root;
    }

    makeFolder(bed.temp / "blank" + kSep + "VIDEO_TS");
    bed.window.messages.clear();
    source() = bed.temp / "blank";
    destination() = bed.destination();
    bed.form.cmdGo_Click();
    ASSERT_EQ(bed.window.messages.size(), 1u);
    EXPECT_EQ(bed.window.messages[0].prompt, "No files (*.vob) for processing found!");
    EXPECT_EQ(namesIn(bed.destination()), discFiles) << "nothing was deleted";
    EXPECT_EQ(bed.events.problems(), std::vector<std::string>{});
}

TEST_F(ValidationTest, FailuresOfTheListingReachTheCaller) {
    source() = bed.source();
    bed.files.failLookUp = bed.source();
    EXPECT_ANY_THROW(bed.form.ValDir());
}

TEST_F(DiskValidationTest, TheCensusCountsDvdEndingsOfPlainFilesDirectlyInTheSource) {
    for (const char* name : {"VIDEO_TS.IFO", "VIDEO_TS.BUP", "VIDEO_TS.VOB", "VTS_01_0.IFO",
                             "VTS_01_0.BUP", "VTS_01_1.VOB", "vts_02_0.Ifo", "abcvob", "notes.txt",
                             "x.vob.old", ".hidden.vob", "ab", "b", "vob"})
        writeFile(bed.source() + kSep + name, "x");
#ifdef _WIN32
    hide(bed.source() + kSep + ".hidden.vob");  // a leading dot hides nothing on Windows
#endif
    makeFolder(bed.source() + kSep + "extra.vob");
    writeFile(bed.source() + kSep + "extra.vob" + kSep + "VTS_02_1.VOB", "x");
    bed.useFolders();
    EXPECT_EQ(bed.form.CountFiles(), 9) << "the six usual names, vts_02_0.Ifo, abcvob and vob";
}

TEST_F(ValidationTest, AnEmptySourceCountsNothing) {
    bed.useFolders();
    EXPECT_EQ(bed.form.CountFiles(), 0);
}

}  // namespace
}  // namespace vantrel::testing
