// Jobs on Windows' own terms: folders typed with either slash and in any
// letter case, names outside the ANSI code page, drive roots.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "support/dvd_generator.h"
#include "support/scratch_drive.h"
#include "support/test_bed.h"

namespace vantrel::testing {
namespace {

using engine::TextBox;

std::string upperWithSlashes(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    std::transform(path.begin(), path.end(), path.begin(),
                   [](char c) { return char(std::toupper(static_cast<unsigned char>(c))); });
    return path;
}

void expectExtracted(const std::string& source, const std::string& destination) {
    for (const char* side : {"VIDEO_TS.IFO", "VIDEO_TS.BUP", "VTS_01_0.IFO", "VTS_01_0.BUP"})
        EXPECT_EQ(readFile(destination + "\\" + side), readFile(source + "\\" + side)) << side;
    for (const char* vob : {"VIDEO_TS.VOB", "VTS_01_1.VOB"})
        EXPECT_EQ(readFile(destination + "\\" + vob),
                  expectedNavPacks(readFile(source + "\\" + vob)))
            << vob;
}

TEST(WindowsFolders, TypedFoldersTakeEitherSlashAndAnyLetterCase) {
    DiskTestBed bed;
    makeDvdFolder(bed.source(), 1, 30);
    writeFile(bed.destination() + "\\vts_01_1.vob", "stale, in other letters");
    const std::string source = upperWithSlashes(bed.source());
    bed.window.texts[TextBox::txtVobDir] = source;
    bed.window.texts[TextBox::txtDest] = upperWithSlashes(bed.destination()) + "/";
    bed.form.cmdGo_Click();
    expectExtracted(bed.source(), bed.destination());
    EXPECT_EQ(bed.window.texts[TextBox::txtVobDir], source + "\\");
    EXPECT_EQ(bed.window.texts[TextBox::txtDest], upperWithSlashes(bed.destination()) + "/\\")
        << "only \\ counts as the separator";
    EXPECT_EQ(bed.logText(), "");

    // The source spelt another way is still the source.
    bed.window.messages.clear();
    bed.window.texts[TextBox::txtVobDir] = bed.source();
    bed.window.texts[TextBox::txtDest] = upperWithSlashes(bed.source()) + "/./";
    bed.form.cmdGo_Click();
    ASSERT_EQ(bed.window.messages.size(), 1u);
    EXPECT_EQ(bed.form.refusal()->reason, "it is the source folder");
}

TEST(WindowsFolders, NamesOutsideTheCodePageAreExtracted) {
    DiskTestBed bed;
    const std::string source = bed.temp / "DVD-\xCE\x94\xCE\xAF\xCF\x83\xCE\xBA\xCE\xBF\xCF\x82";
    const std::string vob = "\xE5\x90\x8D\xE5\x89\x8D.vob";
    makeDvdFolder(source, 1, 20);
    writeFile(source + "\\" + vob, makeVob(40, 4, 3));
    bed.window.texts[TextBox::txtVobDir] = source;
    bed.window.texts[TextBox::txtDest] = bed.destination();
    bed.window.recordCalls = true;
    bed.form.cmdGo_Click();
    expectExtracted(source, bed.destination());
    EXPECT_EQ(readFile(bed.destination() + "\\" + vob),
              expectedNavPacks(readFile(source + "\\" + vob)));
    EXPECT_NE(std::find(bed.window.calls.begin(), bed.window.calls.end(), "setPanelText 3 " + vob),
              bed.window.calls.end());
    EXPECT_EQ(bed.logText(), "");
}

TEST(WindowsFolders, ADriveRootIsAFolderWhenItListsAnEntryAndKeepsTheLogAtItsTop) {
    const ScratchDrive drive;
    if (!drive.root()) GTEST_SKIP() << kNoScratchDrive;
    DiskTestBed bed;
    bed.services.programFolder = "T:\\";  // a program kept in the root
    engine::frmMain form(bed.window, bed.services);
    bed.window.texts[TextBox::txtVobDir] = "T:\\";
    bed.window.texts[TextBox::txtDest] = bed.destination();
    form.cmdGo_Click();
    ASSERT_EQ(bed.window.messages.size(), 1u);
    EXPECT_EQ(bed.window.messages[0].prompt, "Invalid Vob Dir!") << "no entry, not even \".\"";

    makeDvdFolder("T:\\", 1, 20);
    makeFolder(bed.destination() + "\\VIDEO_TS.BUP");  // one failure to log
    bed.window.messages.clear();
    form.cmdGo_Click();
    EXPECT_EQ(bed.window.texts[TextBox::txtVobDir], "T:\\") << "passes unchanged";
    EXPECT_EQ(readFile(bed.destination() + "\\VTS_01_1.VOB"),
              expectedNavPacks(readFile("T:\\VTS_01_1.VOB")));
    EXPECT_EQ(form.logFile(), "T:\\Vantrel.log");
    EXPECT_EQ(readText("T:\\Vantrel.log").rfind("[CopyFile]\r\n", 0), 0u);
}

}  // namespace
}  // namespace vantrel::testing
