#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/failure.h"
#include "platform/file_system.h"
#include "platform/posix_descriptor.h"

struct udfread;  // libudfread's volume

namespace vantrel::platform {

struct ImageInput;

// The VIDEO_TS folder of a DVD-Video disc image (an .iso file) or of the disc
// in a drive (a block device such as /dev/sr0), read without mounting it.
//
// The image's UDF file system is read once, with libudfread, when the image is
// opened: which files the folder holds, and where their bytes lie in the
// image. From then on a file is read with plain positioned reads of the image,
// so that a job reads an image as fast as the image file itself. Linux only.
class DiscImage final : public OpenedDiscImage {
  public:
    // A piece of a file that lies in one run of the image.
    struct Extent {
        std::int64_t fileOffset = 0;
        std::int64_t imageOffset = 0;
        std::int64_t length = 0;
    };
    struct File {
        std::string name;  // as the image spells it
        std::int64_t length = 0;
        std::vector<Extent> extents;  // in the order of the file's bytes
    };

    // Throws Failure with one line naming the image and why it cannot be
    // read: it cannot be opened or read (the system's reason), it holds no UDF
    // file system (an ISO 9660 image without one is told so), no VIDEO_TS
    // folder, it is truncated, or it is damaged: its VIDEO_TS folder cannot be
    // read whole (an entry whose name cannot be decoded included), or an
    // entry of it cannot be read (a length of 2^63 bytes or more included).
    explicit DiscImage(const std::string& path);
    DiscImage(const DiscImage&) = delete;
    DiscImage& operator=(const DiscImage&) = delete;

    const std::string& path() const { return m_path; }
    // The VIDEO_TS folder's name as the image spells it.
    const std::string& folderName() const { return m_folderName; }
    // That folder as a path of the file system that reads the image
    // (DiscImageFileSystem): "film.iso:VIDEO_TS/".
    std::string videoTsFolder() const override { return m_path + ":" + m_folderName + "/"; }
    // The folder's plain files.
    const std::vector<File>& files() const { return m_files; }

    // Reads up to `count` bytes of `file` from `offset`, as pread does: the
    // number of bytes read (0 at the end of the file) or a negative errno.
    std::int64_t read(const File& file, void* buffer, std::size_t count, std::int64_t offset) const;
    // The same of only what is in memory now (see FileSystem::readAtWithoutWaiting).
    std::int64_t readWithoutWaiting(const File& file, void* buffer, std::size_t count,
                                    std::int64_t offset) const;
    // The image's own descriptor: no output may ever be opened on the image.
    int descriptor() const { return m_image.get(); }

  private:
    void readFileSystem();
    [[noreturn]] void refuse(const ImageInput& input) const;
    Failure damaged(const std::string& reason) const;
    void checkBudget(const ImageInput& input) const;
    std::string volumeDescriptorIds() const;
    File placeFile(::udfread* volume, ImageInput& input, const std::string& name) const;
    // read and readWithoutWaiting, by the flags of preadv2.
    std::int64_t readPieces(const File& file, void* buffer, std::size_t count, std::int64_t offset,
                            int flags) const;

    std::string m_path;
    ScopedDescriptor m_image;
    std::int64_t m_length = 0;
    std::string m_folderName;
    std::vector<File> m_files;
};

}  // namespace vantrel::platform
