// The platform layer on Windows' own terms: the hidden and system attributes,
// either slash and any letter case, names outside the ANSI code page, paths
// beyond MAX_PATH, the system's failure texts, drive roots. (A drive root's
// listing: engine_win32_test.)

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>

#include "platform/binary_file.h"
#include "platform/dir_listing.h"
#include "platform/failure.h"
#include "platform/folder_lock.h"
#include "platform/paths.h"
#include "platform/system_file_system.h"
#include "platform/wide_text.h"
#include "support/faulty_file_system.h"
#include "support/scoped_env.h"
#include "support/temp_folder.h"

namespace vantrel::testing {
namespace {

using platform::ListWhat;
using Names = std::vector<std::string>;

// Greek and Japanese: outside Windows-1252 and every other ANSI code page at once.
const std::string kForeignName =
    "\xCE\x94\xCE\xAF\xCF\x83\xCE\xBA\xCE\xBF\xCF\x82-\xE5\x90\x8D.vob";

// Removes a tree that the C runtime cannot reach beyond MAX_PATH.
void removeTree(platform::FileSystem& files, const std::string& folder) {
    for (const auto& entry :
         files.readFolder(folder).value_or(std::vector<platform::FolderEntry>{})) {
        const std::string path = folder + "\\" + entry.name;
        if (entry.kind == platform::EntryKind::Folder) {
            removeTree(files, path);
        } else {
            files.removeFile(path);
        }
    }
    ::RemoveDirectoryW(platform::widePath(folder).c_str());
}

Names all(platform::FileSystem& files, const std::string& path, ListWhat what) {
    platform::DirListing listing(files);
    Names names;
    for (auto name = listing.first(path, what); !name.empty(); name = listing.next())
        names.push_back(name);
    return names;
}

TEST(Win32Listing, HiddenAndSystemEntriesAreLeftOutAndALeadingDotHidesNothing) {
    TempFolder temp;
    platform::SystemFileSystem files;
    for (const char* name : {"a.vob", ".dot.vob", "hidden.vob", "system.vob"})
        writeFile(temp / name, "x");
    makeFolder(temp / "Hidden");
    hide(temp / "hidden.vob");
    hide(temp / "system.vob", true);
    hide(temp / "Hidden");
    EXPECT_EQ(all(files, temp.path() + "\\", ListWhat::FilesAndFolders),
              (Names{".", "..", ".dot.vob", "a.vob"}));
    EXPECT_EQ(all(files, temp / "hidden.vob", ListWhat::PlainFiles), Names{})
        << "named in full, still left out";
    EXPECT_EQ(all(files, temp / "Hidden", ListWhat::FilesAndFolders), Names{});
    EXPECT_EQ(platform::deleteFiles(files, temp / "*.vob"), 2u);
    EXPECT_TRUE(exists(temp / "hidden.vob"));
    EXPECT_TRUE(exists(temp / "system.vob"));
}

TEST(Win32Listing, NamesMatchInAnyLetterCaseAndComeAsStoredWithEitherSlash) {
    TempFolder temp;
    platform::SystemFileSystem files;
    makeFolder(temp / "Dvd");
    writeFile(temp / "Dvd\\Video_TS.ifo", "x");
    const std::string forward = temp.path() + "/dvd/";
    EXPECT_EQ(all(files, temp.path() + "\\DVD\\VIDEO_TS.IFO", ListWhat::PlainFiles),
              Names{"Video_TS.ifo"});
    EXPECT_EQ(all(files, forward, ListWhat::FilesAndFolders), (Names{".", "..", "Video_TS.ifo"}));
    EXPECT_EQ(all(files, forward + "*.IFO", ListWhat::PlainFiles), Names{"Video_TS.ifo"});
    EXPECT_EQ(all(files, temp.path() + "/dvd\\/*.ifo", ListWhat::PlainFiles),
              Names{"Video_TS.ifo"});
    EXPECT_TRUE(files.isSameEntry(temp / "Dvd", forward + "."));
    EXPECT_FALSE(files.isSameEntry(temp / "Dvd", temp.path()));
}

TEST(Win32Files, NamesOutsideTheCodePageAndPathsBeyondMaxPathWork) {
    TempFolder temp;
    platform::SystemFileSystem files;
    std::string deep = temp.path();
    while (deep.size() < 400) deep += "\\" + std::string(60, 'd');
    files.createFolders(deep);
    const Bytes content = patternBytes(5000, 7);
    for (const std::string& folder : {temp.path(), deep}) {
        const std::string path = folder + "\\" + kForeignName;
        platform::BinaryFile out(files);
        out.openForWriting(path);
        out.write(content.data(), content.size());
        out.close();
        EXPECT_EQ(all(files, folder + "\\*.VOB", ListWhat::PlainFiles), Names{kForeignName});
        EXPECT_EQ(files.fileLength(path), 5000);
        Bytes back(content.size());
        platform::BinaryFile in(files);
        in.openForReading(path);
        EXPECT_EQ(in.readAt(1, back.data(), back.size()), content.size());
        EXPECT_EQ(back, content);
        in.close();
        files.removeFile(path);
        EXPECT_FALSE(files.kindOf(path));
    }
    platform::FolderLock lock(files);
    EXPECT_TRUE(lock.acquire(deep));
    lock.release();
    removeTree(files, temp.path());
}

TEST(Win32Files, FailuresCarryTheSystemsTextOnOneLine) {
    TempFolder temp;
    platform::SystemFileSystem files;
    platform::BinaryFile file(files);
    try {
        file.openForReading(temp / "missing.vob");
        FAIL() << "no failure";
    } catch (const platform::Failure& failure) {
        const std::string text = failure.what();
        EXPECT_EQ(text, "cannot open '" + (temp / "missing.vob") + "': " + described(kNoSuchFile));
        EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos);
        EXPECT_GT(described(kNoSuchFile).size(), 5u) << "the system's own words";
    }
    EXPECT_EQ(platform::systemErrorText(0x2FFFFFFF), "system error 805306367");
}

TEST(Win32Paths, TheProgramFolderTheRootsAndTheUsersFolder) {
    EXPECT_EQ(platform::systemRoot(), "C:\\");
    EXPECT_TRUE(platform::isDriveRoot("T:\\"));
    EXPECT_TRUE(platform::isDriveRoot("t:/x/.."));
    EXPECT_FALSE(platform::isDriveRoot("T:\\x\\"));
    EXPECT_EQ(platform::joinPath("T:\\", "Vantrel.log"), "T:\\Vantrel.log");
    const std::string folder = platform::programFolder();
    EXPECT_EQ(folder.substr(1, 2), ":\\");
    EXPECT_TRUE(exists(folder + "\\platform_tests.exe"));
    const ScopedEnv localAppData("LOCALAPPDATA", "D:\\Users\\u\\AppData\\Local");
    EXPECT_EQ(platform::userStateFolder(), "D:\\Users\\u\\AppData\\Local\\Vantrel");
    const ScopedEnv relative("LOCALAPPDATA", "relative");
    EXPECT_EQ(platform::userStateFolder().substr(1, 2), ":\\") << "a relative one is not taken";
}

}  // namespace
}  // namespace vantrel::testing
