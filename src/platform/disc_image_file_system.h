#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/disc_image.h"
#include "platform/file_system.h"

namespace vantrel::platform {

// The file system of a job whose source is a disc image: a path made of the
// image's path, a colon and a path inside the image ("film.iso:VIDEO_TS/
// VTS_01_1.VOB") leads into the image, read-only, its names found in any
// letter case; every other path is the system's, where the outputs go. So the
// engine reads an image through the same seam as a folder, and its log
// entries name "film.iso:VIDEO_TS/VTS_01_1.VOB". Linux only.
class DiscImageFileSystem final : public FileSystem {
  public:
    DiscImageFileSystem(FileSystem& system, const DiscImage& image);

    // The image's VIDEO_TS folder as a source folder text: "film.iso:VIDEO_TS/".
    std::string videoTsFolder() const;

    int openForReading(const std::string& path) override;
    int openForWriting(const std::string& path) override;
    int openForAppending(const std::string& path) override;
    std::int64_t readAt(int fd, void* buffer, std::size_t count, std::int64_t offset) override;
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
    // What a path into the image names.
    struct Place {
        enum class What { Root, Folder, File, Nothing } what = What::Nothing;
        const DiscImage::File* file = nullptr;
        bool operator==(const Place&) const = default;
    };
    // Nothing for a path of the system's.
    std::optional<Place> inImage(const std::string& path) const;
    const DiscImage::File* openFile(int fd) const;
    [[noreturn]] static void refuseWriting(const char* action, const std::string& path);

    // Descriptors of files in the image count from here, above any the
    // system gives (Linux allows at most 2^20 per process).
    static constexpr int kFirstImageDescriptor = 1 << 30;

    FileSystem& m_system;
    const DiscImage& m_image;
    std::string m_prefix;                        // the image's path and a colon
    std::vector<const DiscImage::File*> m_open;  // by descriptor; null where free
};

}  // namespace vantrel::platform
