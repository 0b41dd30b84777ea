// The disc-image reader: libudfread and the image's own file system, over an
// image given in short. A UDF image is at least 257 sectors and mostly zeros,
// so the input lists only the sectors that are not: records of a sector number
// (16 bits, little-endian), a length (16 bits, at most 2048) and that many
// bytes, which begin that sector; every other byte is zero, and the image ends
// with the last sector a record names (fuzz/make-disc-image-seeds.sh makes
// such inputs from images). Every damage must end as a Failure of the reader,
// never as a crash or a hang, and what the reader accepts must read back whole.

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/dir_listing.h"
#include "platform/disc_image.h"
#include "platform/disc_image_file_system.h"
#include "platform/failure.h"
#include "platform/file_system_posix.h"
#include "platform/posix_descriptor.h"
#include "support/temp_folder.h"

namespace {

using namespace vantrel;

constexpr std::int64_t kSector = 2048;

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "disc image: %s\n", what.c_str());
    std::abort();
}

// The image the input describes, as a sparse file at `path`.
void writeImage(const std::string& path, const std::uint8_t* data, std::size_t size) {
    const platform::ScopedDescriptor image(
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
    std::int64_t sectors = 0;
    for (std::size_t at = 0; at + 4 <= size;) {
        const std::int64_t sector = data[at] | data[at + 1] << 8;
        const std::size_t length = std::min<std::size_t>(
            {std::size_t(data[at + 2] | data[at + 3] << 8), std::size_t(kSector), size - at - 4});
        if (::pwrite(image.get(), data + at + 4, length, sector * kSector) < 0)
            fail("cannot write the image");
        sectors = std::max(sectors, sector + 1);
        at += 4 + length;
    }
    if (::ftruncate(image.get(), sectors * kSector) != 0) fail("cannot size the image");
}

// A file the reader accepted lies whole inside the image, in order.
void expectPlaced(const platform::DiscImage::File& file, std::int64_t imageLength) {
    std::int64_t next = 0;
    for (const auto& extent : file.extents) {
        if (extent.fileOffset != next || extent.length <= 0)
            fail(file.name + ": extents with a gap or overlap");
        if (extent.imageOffset < 0 || extent.imageOffset + extent.length > imageLength)
            fail(file.name + ": an extent outside the image");
        next += extent.length;
    }
    if (next != file.length) fail(file.name + ": extents that do not add up to its length");
}

// Through the job's file system: each file listed, found in other letters,
// measured, and read where a job reads it, to the byte.
void expectReadable(platform::DiscImageFileSystem& files, const platform::DiscImage& image) {
    const std::string folder = image.videoTsFolder();
    platform::DirListing listing(files);
    std::size_t listed = 0;
    for (std::string name = listing.first(folder + "*", platform::ListWhat::PlainFiles);
         !name.empty(); name = listing.next())
        ++listed;
    std::vector<unsigned char> buffer(3 * kSector);
    for (const auto& file : image.files()) {
        const std::string path = folder + file.name;
        if (files.fileLength(path) != file.length) fail(file.name + ": measured otherwise");
        const int fd = files.openForReading(path);
        for (const std::int64_t at : {std::int64_t{0}, file.length / 2, file.length - 1}) {
            if (at < 0) continue;
            const std::int64_t wanted =
                std::min<std::int64_t>(std::int64_t(buffer.size()), file.length - at);
            if (files.readAt(fd, buffer.data(), buffer.size(), at) != wanted)
                fail(file.name + ": a read short of what its extents hold");
        }
        if (files.readAt(fd, buffer.data(), buffer.size(), file.length) != 0)
            fail(file.name + ": bytes past its end");
        files.close(fd);
    }
    if (listed > image.files().size()) fail("more files listed than the image holds");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static testing::TempFolder temp;
    const std::string path = temp / "disc.iso";
    writeImage(path, data, size);
    platform::PosixFileSystem system;
    try {
        platform::DiscImageFileSystem files(system);
        const auto image = files.open(path);
        const std::int64_t length = system.fileLength(path);
        for (const auto& file : image->files()) expectPlaced(file, length);
        expectReadable(files, *image);
    } catch (const platform::Failure&) {
        // A refusal, in one line: what a damaged image must come to.
    }
    return 0;
}
