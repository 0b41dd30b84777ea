// A disc image as a job's source: a real authored disc made into a UDF image
// with genisoimage, read by the real engine through the image's file system,
// and the images it must refuse, each with one line.

#include "platform/disc_image.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/dir_listing.h"
#include "platform/disc_image_file_system.h"
#include "platform/failure.h"
#include "platform/file_system_posix.h"
#include "support/authored_disc.h"
#include "support/process_runner.h"
#include "support/test_bed.h"
#include "support/udf_records.h"

namespace vantrel::testing {
namespace {

// One window object on the headless window, over the given file system.
struct Job {
    Job(platform::FileSystem& files, const std::string& programFolder)
        : services{files, clock, programFolder}, window{files}, form{window, services} {}
    void run(const std::string& source, const std::string& destination) {
        makeFolder(destination);
        window.texts[engine::TextBox::txtVobDir] = source;
        window.texts[engine::TextBox::txtDest] = destination;
        form.cmdGo_Click();
    }
    FixedClock clock;
    engine::Services services;
    HeadlessWindow window;
    engine::frmMain form;
};

class DiscImageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!disc.missing.empty()) GTEST_SKIP() << disc.missing;
        if (makeImage(image, {"-dvd-video", "-udf"}, disc.root).exitStatus == 127)
            GTEST_SKIP() << "genisoimage is missing (scripts/install-deps.sh installs it)";
    }
    ProcessResult makeImage(const std::string& path, std::vector<std::string> options,
                            const std::string& root) {
        options.insert(options.begin(), "-quiet");
        for (const std::string& tail : {std::string("-o"), path, root}) options.push_back(tail);
        const ProcessResult made = runProgram("/usr/bin/genisoimage", options);
        if (made.exitStatus != 0 && made.exitStatus != 127)
            ADD_FAILURE() << "genisoimage failed: " << made.err;
        return made;
    }
    std::string refusal(const std::string& path) {
        ::testing::internal::CaptureStderr();
        std::string what;
        try {
            platform::DiscImage refused(path);
        } catch (const platform::Failure& failure) {
            what = failure.what();
        }
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), "") << path;
        return what;
    }

    const AuthoredDisc& disc = authoredDisc();
    TempFolder temp;
    const std::string image = temp / "disc.iso";
    platform::PosixFileSystem system;
};

// The image named as a user names it: the job reads its VIDEO_TS folder, and
// holds the image only while it runs.
TEST_F(DiscImageTest, AJobFromAUdfImageWritesWhatAJobFromItsFolderWrites) {
    platform::DiscImageFileSystem files(system);
    Job fromImage(files, temp.path());
    fromImage.run(image, temp / "from-image");
    Job fromFolder(system, temp.path());
    fromFolder.run(disc.videoTs, temp / "from-folder");

    EXPECT_EQ(fromImage.window.texts[engine::TextBox::txtVobDir], image)
        << "a file gets no separator";
    EXPECT_EQ(files.kindOf(image + ":VIDEO_TS/"), std::nullopt) << "the image was let go";
    EXPECT_EQ(files.kindOf(image), platform::EntryKind::PlainFile);
    EXPECT_EQ(namesIn(temp / "from-folder").size(), 10u);
    EXPECT_EQ(folderDifference(temp / "from-image", temp / "from-folder"), "");
    EXPECT_EQ(fromImage.form.tally().bytesRead, fromFolder.form.tally().bytesRead);
    EXPECT_FALSE(exists(temp / "Vantrel.log"));
}

TEST_F(DiscImageTest, ItsFilesAreFoundInAnyLetterCaseAndNeverWritten) {
    platform::DiscImageFileSystem files(system);
    const auto dvd = files.open(image);
    EXPECT_EQ(dvd->videoTsFolder(), image + ":VIDEO_TS/");
    EXPECT_EQ(files.openDiscImage(image), dvd) << "held, it is the same image";
    const std::string ifo = image + ":video_ts/vts_01_0.ifo";
    EXPECT_EQ(files.lookUp(ifo)->name, "VTS_01_0.IFO");
    EXPECT_EQ(files.fileLength(ifo), std::int64_t(readFile(disc.videoTs + "/VTS_01_0.IFO").size()));
    platform::DirListing listing(files);
    EXPECT_EQ(listing.first(image + ":/", platform::ListWhat::FilesAndFolders), ".");
    EXPECT_EQ(listing.next(), "..");
    EXPECT_EQ(listing.next(), "VIDEO_TS");
    EXPECT_EQ(listing.next(), "");
    EXPECT_EQ(listing.first(image + ":VIDEO_TS/*.vob", platform::ListWhat::PlainFiles),
              "VIDEO_TS.VOB");
    EXPECT_EQ(files.kindOf(image + ":VIDEO_TS/VTS_09_1.VOB"), std::nullopt);
    EXPECT_EQ(files.kindOf(temp.path()), platform::EntryKind::Folder);  // the system's
    EXPECT_THROW(files.openForWriting(ifo), platform::Failure);
    try {
        files.removeFile(ifo);
        ADD_FAILURE() << "a file in the image was removed";
    } catch (const platform::Failure& failure) {
        EXPECT_EQ(std::string(failure.what()),
                  "cannot delete '" + ifo + "': Read-only file system");
    }
}

// A read that fails inside the image is logged under the image's own name.
TEST_F(DiscImageTest, AFailureInsideTheImageNamesTheImageAndTheFile) {
    platform::DiscImageFileSystem files(system);
    const auto dvd = files.open(image);
    const auto& vobs = dvd->files();
    const auto titles = std::find_if(vobs.begin(), vobs.end(),
                                     [](const auto& file) { return file.name == "VTS_01_1.VOB"; });
    ASSERT_NE(titles, vobs.end());
    std::filesystem::resize_file(image, std::uintmax_t(titles->extents.front().imageOffset + 4096));
    Job job(files, temp.path());
    job.run(dvd->videoTsFolder(), temp / "out");
    EXPECT_NE(readText(temp / "Vantrel.log")
                  .find("cannot read '" + image + ":VIDEO_TS/VTS_01_1.VOB': the file ends before"),
              std::string::npos)
        << readText(temp / "Vantrel.log");
}

TEST_F(DiscImageTest, RefusesWhatIsNoReadableDvdImageInOneLine) {
    const std::string text = temp / "notes.txt", plain = temp / "plain.iso",
                      other = temp / "other.iso", cut = temp / "cut.iso",
                      halved = temp / "halved.iso";
    writeFile(text, "a few words");
    makeImage(plain, {}, disc.root);
    makeFolder(temp / "other");
    writeFile(temp / "other/README", "no DVD here");
    makeImage(other, {"-udf"}, temp / "other");
    std::filesystem::copy_file(image, cut);
    std::filesystem::resize_file(cut, 200 * 2048);
    std::filesystem::copy_file(image, halved);
    std::filesystem::resize_file(halved, std::filesystem::file_size(image) / 2);

    EXPECT_EQ(refusal(text),
              "'" + text + "' is not a DVD-Video disc image: it holds no UDF file system");
    EXPECT_EQ(refusal(plain), "'" + plain +
                                  "' is an ISO 9660 image without the UDF file system of DVD-Video "
                                  "discs: mount it and give its VIDEO_TS folder");
    EXPECT_EQ(refusal(other), "'" + other + "' holds no VIDEO_TS folder");
    EXPECT_EQ(refusal(cut), "'" + cut + "' is truncated: its file system reaches past its end");
    const std::string late = refusal(halved);
    EXPECT_EQ(late.rfind("'" + halved + "' is truncated: VIDEO_TS/VTS_0", 0), 0u) << late;
    EXPECT_EQ(late.substr(late.size() - 21), " reaches past its end") << late;
    // Damaged entries, which libudfread would read as a file of -1 bytes or
    // leave out of the listing, and a folder it cannot read at all.
    const auto damaged = [&](const std::string& copy, const char* file, auto damage) {
        Bytes bytes = readFile(image);
        damage(bytes, findUdfFile(bytes, file));
        writeFile(copy, bytes);
        return refusal(copy);
    };
    const std::string huge = temp / "huge.iso", name = temp / "name.iso",
                      folder = temp / "folder.iso";
    EXPECT_EQ(damaged(huge, "VTS_01_1.VOB",
                      [](Bytes& b, const UdfFileRecords& r) {
                          b[r.fileEntry + kUdfFileLength + 7] = 0x80;  // 2^63 and more
                      }),
              "cannot open '" + huge + ":VIDEO_TS/VTS_01_1.VOB': its entry is damaged");
    EXPECT_EQ(damaged(name, "VTS_01_0.BUP",
                      [](Bytes& b, const UdfFileRecords& r) { b[r.name - kUdfNameEncoding] = 3; }),
              "'" + name +
                  "' is damaged: its VIDEO_TS folder cannot be read whole: a name in it cannot "
                  "be decoded");
    EXPECT_EQ(damaged(folder, "VIDEO_TS.IFO",
                      [](Bytes& b, const UdfFileRecords& r) {
                          b[r.identifier + kUdfTagChecksum] ^= 0xFF;
                      }),
              "'" + folder + "' is damaged: its VIDEO_TS folder cannot be read");
    EXPECT_EQ(refusal(temp / "none.iso"),
              "cannot open '" + (temp / "none.iso") + "': No such file or directory");
    EXPECT_EQ(refusal(temp.path()), "cannot open '" + temp.path() + "': Is a directory");
    EXPECT_EQ(refusal("/dev/null"), "'/dev/null' is neither a disc image file nor a drive");
}

}  // namespace
}  // namespace vantrel::testing
