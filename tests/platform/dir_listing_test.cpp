#include "platform/dir_listing.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "platform/paths.h"
#include "platform/text.h"
#include "support/faulty_file_system.h"
#include "support/temp_folder.h"

namespace vantrel::testing {
namespace {

using platform::ListWhat;

class DirListingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name :
             {"b.VOB", "a.vob", "C.ifo", "VIDEO_TS.BUP", ".hidden.vob", "notes.txt"})
            writeFile(temp / name, "x");
        makeFolder(temp / "Sub.vob");
#ifdef _WIN32
        hide(temp / ".hidden.vob");  // a leading dot hides nothing on Windows
#else
        ASSERT_EQ(::mkfifo((temp / "pipe.vob").c_str(), 0600), 0);
#endif
    }
    std::vector<std::string> all(const std::string& path, ListWhat what) {
        platform::DirListing listing(files);
        std::vector<std::string> names;
        for (auto name = listing.first(path, what); !name.empty(); name = listing.next())
            names.push_back(name);
        return names;
    }

    TempFolder temp;
    FaultyFileSystem files;
};

using Names = std::vector<std::string>;

TEST_F(DirListingTest, AFolderListsItsVisibleEntriesSortedWithoutRegardToCase) {
    EXPECT_EQ(all(temp.path() + kSep, ListWhat::PlainFiles),
              (Names{"a.vob", "b.VOB", "C.ifo", "notes.txt", "VIDEO_TS.BUP"}));
    EXPECT_EQ(
        all(temp.path() + kSep, ListWhat::FilesAndFolders),
        (Names{".", "..", "a.vob", "b.VOB", "C.ifo", "notes.txt", "Sub.vob", "VIDEO_TS.BUP"}));
}

TEST_F(DirListingTest, WildcardsIgnoreCaseAndMatchWholeNames) {
    EXPECT_EQ(all(temp / "*.vob", ListWhat::PlainFiles), (Names{"a.vob", "b.VOB"}));
    EXPECT_EQ(all(temp / "*.VOB", ListWhat::FilesAndFolders), (Names{"a.vob", "b.VOB", "Sub.vob"}));
    EXPECT_EQ(all(temp / "?.*", ListWhat::PlainFiles), (Names{"a.vob", "b.VOB", "C.ifo"}));
    EXPECT_EQ(all(temp / "*.vo", ListWhat::PlainFiles), Names{});
}

TEST_F(DirListingTest, APathNamingAnEntryMatchesThatEntry) {
    EXPECT_EQ(all(temp / "notes.txt", ListWhat::PlainFiles), Names{"notes.txt"});
    EXPECT_EQ(all(temp / "Sub.vob", ListWhat::PlainFiles), Names{});
    EXPECT_EQ(all(temp / "Sub.vob", ListWhat::FilesAndFolders), Names{"Sub.vob"});
#ifndef _WIN32  // letter case counts
    EXPECT_EQ(all(temp / "NOTES.TXT", ListWhat::PlainFiles), Names{});
#endif
    EXPECT_EQ(all(temp / "missing", ListWhat::FilesAndFolders), Names{});
    EXPECT_EQ(all(temp / "missing" + kSep, ListWhat::FilesAndFolders), Names{});
    EXPECT_EQ(all(temp / "notes.txt" + kSep, ListWhat::FilesAndFolders), Names{});
}

TEST_F(DirListingTest, ListingsDoNotDisturbEachOther) {
    platform::DirListing outer(files), inner(files);
    EXPECT_EQ(outer.first(temp / "*.vob", ListWhat::PlainFiles), "a.vob");
    EXPECT_EQ(inner.first(temp / "*.ifo", ListWhat::PlainFiles), "C.ifo");
    EXPECT_EQ(outer.next(), "b.VOB");
    EXPECT_EQ(outer.next(), "");
    EXPECT_EQ(outer.next(), "");
}

TEST_F(DirListingTest, DeletionTakesMatchingPlainFilesOnly) {
    EXPECT_EQ(platform::deleteFiles(files, temp / "*.VOB"), 2u);
    EXPECT_FALSE(exists(temp / "a.vob"));
    EXPECT_FALSE(exists(temp / "b.VOB"));
    EXPECT_TRUE(exists(temp / ".hidden.vob"));
    EXPECT_TRUE(exists(temp / "Sub.vob"));
#ifndef _WIN32
    EXPECT_TRUE(exists(temp / "pipe.vob"));
#endif
    EXPECT_EQ(platform::deleteFiles(files, temp / "*.vob"), 0u);
}

TEST_F(DirListingTest, AFailingListingThrows) {
    files.failListing = temp.path();
    platform::DirListing listing(files);
    EXPECT_ANY_THROW(listing.first(temp / "*.vob", ListWhat::PlainFiles));
}

TEST(Wildcard, MatchesLikeTheShell) {
    using platform::matchesWildcard;
    EXPECT_TRUE(matchesWildcard("VTS_01_1.VOB", "*.vob"));
    EXPECT_TRUE(matchesWildcard("abc", "*"));
    EXPECT_TRUE(matchesWildcard("", "*"));
    EXPECT_TRUE(matchesWildcard("x.vob.vob", "*.vob"));
    EXPECT_FALSE(matchesWildcard("x.vob.old", "*.vob"));
    EXPECT_TRUE(matchesWildcard("a.b", "?.?"));
    EXPECT_TRUE(matchesWildcard("\xc3\xa9.vob", "?.vob")) << "? stands for one character";
    EXPECT_FALSE(matchesWildcard("ab.vob", "?.vob"));
    EXPECT_TRUE(matchesWildcard("aXbXc", "a*b*c"));
}

#ifndef _WIN32
TEST(Paths, JoinAndCount) {
    EXPECT_EQ(platform::joinPath("/", "Vantrel.log"), "/Vantrel.log");
    EXPECT_EQ(platform::joinPath("/opt/vantrel", "Vantrel.log"), "/opt/vantrel/Vantrel.log");
    EXPECT_EQ(platform::characterCount("/d\xc3\xa9j\xc3\xa0/"), 6);
    EXPECT_EQ(platform::systemRoot(), "/");
    const std::string folder = platform::programFolder();
    EXPECT_EQ(folder.front(), '/');
    EXPECT_TRUE(exists(folder + "/platform_tests"));
}
#endif

}  // namespace
}  // namespace vantrel::testing
