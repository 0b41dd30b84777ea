#include "platform/binary_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cstring>

#include "platform/failure.h"
#include "support/faulty_file_system.h"
#include "support/temp_folder.h"

namespace vantrel::testing {
namespace {

using platform::BinaryFile;

// What the failure `action` throws says.
template <class Action>
std::string describe(Action&& action) {
    try {
        action();
    } catch (const platform::Failure& failure) {
        return failure.what();
    }
    return "no failure";
}

class BinaryFileTest : public ::testing::Test {
  protected:
    TempFolder temp;
    FaultyFileSystem files;
};

TEST_F(BinaryFileTest, PositionedReadsAreOneBasedAndShortOnlyAtTheEnd) {
    const Bytes content = patternBytes(3 * BinaryFile::kBufferSize + 777, 5);
    writeFile(temp / "a", content);
    BinaryFile file(files);
    file.openForReading(temp / "a");

    unsigned char two[2];
    ASSERT_EQ(file.readAt(1, two, 2), 2u);
    EXPECT_EQ(two[0], content[0]);
    // A read that straddles the read-ahead buffer's end.
    const std::int64_t straddle = std::int64_t(BinaryFile::kBufferSize) - 1;
    Bytes sector(2048);
    ASSERT_EQ(file.readAt(straddle, sector.data(), sector.size()), 2048u);
    EXPECT_TRUE(std::equal(sector.begin(), sector.end(), content.begin() + straddle - 1));
    // Backwards after moving on.
    ASSERT_EQ(file.readAt(3, two, 2), 2u);
    EXPECT_EQ(two[1], content[3]);
    // The last bytes, then past the end.
    const auto length = std::int64_t(content.size());
    EXPECT_EQ(file.readAt(length - 9, sector.data(), sector.size()), 10u);
    EXPECT_EQ(sector[9], content.back());
    EXPECT_EQ(file.readAt(length + 1, two, 2), 0u);
    file.close();
}

TEST_F(BinaryFileTest, LargeReadsBypassTheBuffer) {
    const Bytes content = patternBytes(BinaryFile::kBufferSize + 100, 6);
    writeFile(temp / "a", content);
    BinaryFile file(files);
    file.openForReading(temp / "a");
    Bytes all(content.size() + 50);
    EXPECT_EQ(file.readAt(1, all.data(), all.size()), content.size());
    all.resize(content.size());
    EXPECT_EQ(all, content);
}

TEST_F(BinaryFileTest, ALentBufferServesFileAfterFileFromOnePageAlignedBlock) {
    platform::IoBuffer buffer(BinaryFile::kBufferSize);
    const std::byte* memory = nullptr;
    for (const std::uint32_t seed : {1u, 2u, 1u}) {
        const Bytes content = patternBytes(5000 + seed, seed);
        writeFile(temp / "a", content);
        BinaryFile file(files, buffer);
        file.openForReading(temp / "a");
        Bytes sector(2048);
        ASSERT_EQ(file.readAt(1001, sector.data(), sector.size()), 2048u);
        EXPECT_TRUE(std::equal(sector.begin(), sector.end(), content.begin() + 1000));
        EXPECT_EQ(std::memcmp(buffer.data(), content.data(), content.size()), 0)
            << "the read-ahead went into the lent memory";
        if (memory == nullptr) memory = buffer.data();
        EXPECT_EQ(buffer.data(), memory) << "allocated once, not once per file";
    }
    // Reads into memory that is only 16-byte aligned cost up to four times as
    // much on some processors.
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(memory) % 4096, 0u);
}

TEST_F(BinaryFileTest, PositionsBeyondFourGibibytes) {
    const std::int64_t offset = (std::int64_t{5} << 30) + 2;  // 5 GiB + 2, a sparse file
    {
        BinaryFile out(files);
        out.openForWriting(temp / "big");
        out.close();
    }
    std::filesystem::resize_file(nativePath(temp / "big"), std::uintmax_t(offset));
    std::ofstream(nativePath(temp / "big"), std::ios::binary | std::ios::app) << "NV";
    BinaryFile file(files);
    file.openForReading(temp / "big");
    char two[2];
    ASSERT_EQ(file.readAt(offset + 1, two, 2), 2u);
    EXPECT_EQ(std::string(two, 2), "NV");
    EXPECT_EQ(files.fileLength(temp / "big"), offset + 2);
}

TEST_F(BinaryFileTest, SequentialReadsFailWhenTheFileEndsEarly) {
    writeFile(temp / "a", patternBytes(1500, 1));
    BinaryFile file(files);
    file.openForReading(temp / "a");
    Bytes block(1024);
    file.read(block.data(), block.size());
    try {
        file.read(block.data(), block.size());
        FAIL() << "no failure";
    } catch (const platform::Failure& failure) {
        EXPECT_NE(std::string(failure.what()).find(temp / "a"), std::string::npos);
    }
}

TEST_F(BinaryFileTest, WritesAreBufferedAndTruncateTheOldContent) {
    writeFile(temp / "out", patternBytes(5000, 9));
    const Bytes first = patternBytes(2048, 1), second = patternBytes(BinaryFile::kBufferSize, 2);
    BinaryFile out(files);
    out.openForWriting(temp / "out");
    out.write(first.data(), first.size());
    EXPECT_EQ(readFile(temp / "out").size(), 0u) << "truncated at opening, nothing flushed yet";
    out.write(second.data(), second.size());
    out.close();
    Bytes expected = first;
    expected.insert(expected.end(), second.begin(), second.end());
    EXPECT_EQ(readFile(temp / "out"), expected);
}

TEST_F(BinaryFileTest, CloseIsHarmlessWhenRepeatedOrNeverOpened) {
    BinaryFile never(files);
    EXPECT_NO_THROW(never.close());
    EXPECT_NO_THROW(never.close());
    BinaryFile file(files);
    file.openForWriting(temp / "x");
    file.close();
    EXPECT_NO_THROW(file.close());
    EXPECT_EQ(files.openFiles(), 0u);
}

TEST_F(BinaryFileTest, FailuresNameTheFileAndTheCause) {
    makeFolder(temp / "folder.vob");
    BinaryFile file(files);
    EXPECT_EQ(describe([&] { file.openForReading(temp / "missing"); }),
              "cannot open '" + (temp / "missing") + "': " + described(kNoSuchFile));
    EXPECT_EQ(describe([&] { file.openForWriting(temp / "folder.vob"); }),
              "cannot create '" + (temp / "folder.vob") + "': " + described(kIsAFolder));
    EXPECT_EQ(describe([&] { file.openForWriting(temp / "no/such/folder"); }),
              "cannot create '" + (temp / "no/such/folder") + "': " + described(kNoSuchFolder));
#ifndef _WIN32
    ASSERT_EQ(::mkfifo((temp / "pipe").c_str(), 0600), 0);
    EXPECT_EQ(describe([&] { file.openForReading(temp / "pipe"); }),
              "cannot open '" + (temp / "pipe") + "': not a plain file");
#endif
    EXPECT_FALSE(file.isOpen());
}

TEST_F(BinaryFileTest, AWriteFailureSurfacesAtTheFlushAndIsSticky) {
    files.failWrite = "out";
    BinaryFile out(files);
    out.openForWriting(temp / "out");
    const Bytes data = patternBytes(4096, 3);
    out.write(data.data(), data.size());
    EXPECT_THROW(out.close(), platform::Failure);
    EXPECT_FALSE(out.isOpen());

    BinaryFile big(files);
    big.openForWriting(temp / "out2");
    const Bytes mebibyte = patternBytes(BinaryFile::kBufferSize, 4);
    EXPECT_THROW(big.write(mebibyte.data(), mebibyte.size()), platform::Failure);
    files.failWrite.clear();
    EXPECT_THROW(big.write(data.data(), data.size()), platform::Failure)
        << "nothing lands after a failed write";
    EXPECT_TRUE(big.writeFailed());
    EXPECT_NO_THROW(big.close()) << "reported once, at the write";
    EXPECT_EQ(readFile(temp / "out2"), Bytes{});
    EXPECT_EQ(files.openFiles(), 0u);
}

TEST_F(BinaryFileTest, AnOutputRefusedByItsIdentityIsLeftUntouchedAndNoneFollowsALink) {
    const Bytes content = patternBytes(4096, 4);
    writeFile(temp / "src.vob", content);
    std::filesystem::create_hard_link(nativePath(temp / "src.vob"), nativePath(temp / "hard.vob"));
    BinaryFile source(files), output(files);
    source.openForReading(temp / "src.vob");
    const auto notTheSource = [&](const platform::FileIdentity& file) {
        return file == source.identity() ? std::string("it is the source") : std::string();
    };
    EXPECT_EQ(describe([&] { output.openForWriting(temp / "hard.vob", notTheSource); }),
              "cannot create '" + (temp / "hard.vob") + "': it is the source");
    EXPECT_EQ(readFile(temp / "src.vob"), content);
    EXPECT_EQ(files.openFiles(), 1u) << "the source only";
    output.openForWriting(temp / "other.vob", notTheSource);
    EXPECT_NE(output.identity(), source.identity());
#ifndef _WIN32  // Wine makes no links that Windows programs can see as such
    ASSERT_EQ(::symlink((temp / "elsewhere.vob").c_str(), (temp / "dangling.vob").c_str()), 0);
    EXPECT_THROW(output.openForWriting(temp / "dangling.vob"), platform::Failure);
    EXPECT_FALSE(exists(temp / "elsewhere.vob"));
#endif
}

}  // namespace
}  // namespace vantrel::testing
