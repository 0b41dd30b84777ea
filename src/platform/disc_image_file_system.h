#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/disc_image.h"
#include "platform/file_system.h"

namespace vantrel::platform {

// The system's files, and the disc images and drives opened through it (a
// job's source): a path made of an open image's path, a colon and a path
// inside the image ("film.iso:VIDEO_TS/VTS_01_1.VOB") leads into the image,
// read-only, its names found in any letter case; every other path is the
// system's, where the outputs go. So the engine reads an image through the
// same seam as a folder, and its log entries name
// "film.iso:VIDEO_TS/VTS_01_1.VOB". An image is read while it is held, and
// while a file of it is open. A drive (a block device) is a plain file here,
// as an image file is: the image of its disc. Linux only.
class DiscImageFileSystem : public FileSystem {
  public:
    explicit DiscImageFileSystem(FileSystem& system);

    // The image or drive at `path`, opened to be read through this file
    // system while it is held; the one held already, when it is. Throws
    // Failure as DiscImage does.
    std::shared_ptr<const DiscImage> open(const std::string& path);

    std::shared_ptr<const OpenedDiscImage> openDiscImage(const std::string& path) override;
    int openForReading(const std::string& path) override;
    int openForWriting(const std::string& path) override;
    int openForAppending(const std::string& path) override;
    std::int64_t readAt(int fd, void* buffer, std::size_t count, std::int64_t offset) override;
    std::int64_t readAtWithoutWaiting(int fd, void* buffer, std::size_t count,
                                      std::int64_t offset) override;
    std::int64_t write(int fd, const void* buffer, std::size_t count) override;
    std::int64_t writeAt(int fd, const void* buffer, std::size_t count,
                         std::int64_t offset) override;
    int truncate(int fd, std::int64_t length) override;
    int makeSparse(int fd, std::int64_t length) override;
    int statusOf(int fd, FileStatus& status) override;
    int close(int fd) override;
    int flushFile(int fd) override;
    int flushFolder(int fd) override;
    std::optional<int> lockFolder(const std::string& folder) override;
    std::int64_t fileLength(const std::string& path) override;
    std::optional<EntryKind> kindOf(const std::string& path) override;
    std::optional<std::vector<FolderEntry>> readFolder(const std::string& folder) override;
    int folderError(const std::string& path) override;
    std::optional<FolderEntry> lookUp(const std::string& path) override;
    void removeFile(const std::string& path) override;
    void createFolders(const std::string& folder) override;
    bool isWritable(const std::string& path) override;
    bool fillsHoles(const std::string& folder) override;
    bool isSameEntry(const std::string& a, const std::string& b) override;
    std::string backingFile(const std::string& path) override;

  private:
    // What a path into an image names.
    struct Place {
        enum class What { Root, Folder, File, Nothing } what = What::Nothing;
        std::shared_ptr<const DiscImage> image = nullptr;
        const DiscImage::File* file = nullptr;
        bool operator==(const Place&) const = default;
    };
    // A file of an image, open: it keeps its image.
    struct OpenFile {
        std::shared_ptr<const DiscImage> image;
        const DiscImage::File* file = nullptr;
    };
    // Nothing for a path of the system's.
    std::optional<Place> inImage(const std::string& path) const;
    std::optional<OpenFile> openFile(int fd) const;
    [[noreturn]] static void refuseWriting(const char* action, const std::string& path);

    // Descriptors of files in the image count from here, above any the
    // system gives (Linux allows at most 2^20 per process).
    static constexpr int kFirstImageDescriptor = 1 << 30;

    FileSystem& m_system;
    // Guards the two below: the job reads its source from a thread of its own.
    mutable std::mutex m_mutex;
    std::vector<std::weak_ptr<const DiscImage>> m_images;  // opened, held or not
    std::vector<OpenFile> m_open;                          // by descriptor; no image where free
};

}  // namespace vantrel::platform
