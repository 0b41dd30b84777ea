#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vantrel::platform {

// The hole a probe file is given to see whether holes take space where it is
// made: far more than any file system's block, so that one block allocated
// for metadata does not pass for a filled hole.
inline constexpr std::int64_t kHoleProbeLength = std::int64_t{1} << 20;

enum class EntryKind { PlainFile, Folder, Other };

struct FolderEntry {
    std::string name;
    EntryKind kind;  // of what a symbolic link leads to; Other for a dangling one
    bool link = false;
    // Left out of listings: a name beginning with a dot on POSIX, the hidden
    // or system attribute on Windows.
    bool hidden = false;
};

// Which file an open descriptor is, however its path was spelt (letter case
// on a file system that ignores it, links): the device and the inode on POSIX,
// the volume's serial number and the file's index on Windows.
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t file = 0;
    friend auto operator<=>(const FileIdentity&, const FileIdentity&) = default;
};

// What FileSystem::statusOf tells of an open file.
struct FileStatus {
    FileIdentity identity;
    std::int64_t length = 0;
};

// A disc image or a drive that a file system reads (FileSystem::openDiscImage),
// for as long as it is held.
class OpenedDiscImage {
  public:
    virtual ~OpenedDiscImage() = default;
    // Its VIDEO_TS folder as a path of that file system: "film.iso:VIDEO_TS/".
    virtual std::string videoTsFolder() const = 0;
};

// The file system as the rest of the system sees it. Everything that touches a
// disk goes through here, so that tests can make any single operation fail.
// Path operations throw Failure; descriptor operations return a negative error
// code (an errno, on Windows a GetLastError code) so that the caller, which
// knows the file's name, builds the description. A job's source is read
// through here from a thread of its own (OffThreadFileSystem) while the
// window's thread goes on making calls: an implementation that keeps state
// of its own guards it.
class FileSystem {
  public:
    virtual ~FileSystem() = default;

    virtual int openForReading(const std::string& path) = 0;
    // Created when missing; a file that is there keeps its content, so that the
    // caller can look at what it opened (statusOf) before it truncates it. A
    // symbolic link is refused, so that an output never lands outside its folder.
    virtual int openForWriting(const std::string& path) = 0;
    // Created when missing, every write lands at the end.
    virtual int openForAppending(const std::string& path) = 0;
    virtual std::int64_t readAt(int fd, void* buffer, std::size_t count, std::int64_t offset) = 0;
    // readAt of only what is in memory now, never waiting for a device: the
    // bytes read (fewer than asked when only some are there, 0 at the end of
    // the file), or a negative number when none can be read so. By default
    // none can.
    virtual std::int64_t readAtWithoutWaiting(int, void*, std::size_t, std::int64_t) { return -1; }
    // readAt into `memory` from its byte `at` on, for a caller that may stop
    // waiting for the read (OffThreadFileSystem): the read holds a share of
    // the memory until it returns.
    virtual std::int64_t readIntoShared(int fd, const std::shared_ptr<std::byte[]>& memory,
                                        std::size_t at, std::size_t count, std::int64_t offset) {
        return readAt(fd, memory.get() + at, count, offset);
    }
    virtual std::int64_t write(int fd, const void* buffer, std::size_t count) = 0;
    // Writes at `offset`, whatever was written before; the bytes written or a
    // negative error code.
    virtual std::int64_t writeAt(int fd, const void* buffer, std::size_t count,
                                 std::int64_t offset) = 0;
    // Cuts the file down to `length` bytes; 0 or a negative errno.
    virtual int truncate(int fd, std::int64_t length) = 0;
    // Makes the empty file `fd` `length` bytes of holes, which take no space
    // until something is written into them: on Windows the file is marked
    // sparse first (FSCTL_SET_SPARSE), as NTFS asks; on POSIX setting the
    // length is all it takes. 0 or a negative error code.
    virtual int makeSparse(int fd, std::int64_t length) = 0;
    // Which file `fd` is and its length; 0 or a negative error code.
    virtual int statusOf(int fd, FileStatus& status) = 0;
    virtual int close(int fd) = 0;
    // Makes what was written through `fd` reach the device, where the system
    // flushes file by file (Windows). On POSIX it does nothing: one flushFolder
    // of the folder the files were written to flushes them all, some forty
    // times faster than a flush per file for a few thousand small files.
    // 0 or a negative error code.
    virtual int flushFile(int fd) = 0;
    // Makes the entries of the folder that `fd` holds (a lockFolder
    // descriptor) reach the device, and on POSIX every file written to its
    // file system too (syncfs). 0 or a negative error code.
    virtual int flushFolder(int fd) = 0;
    // A descriptor holding an exclusive advisory lock on the folder until it is
    // closed; nothing when another holder has it. Throws when the folder
    // cannot be opened or locked (a file system without locks, ENOLCK). A
    // link given as the folder is followed; while the lock is held the folder
    // stays the one locked: on Windows it cannot be renamed or deleted, on
    // POSIX its entries are reached through the lock's descriptor.
    virtual std::optional<int> lockFolder(const std::string& folder) = 0;

    // Length in bytes of the file at `path` (symbolic links followed).
    virtual std::int64_t fileLength(const std::string& path) = 0;
    // The kind of entry at `path` (symbolic links followed); nothing when absent.
    virtual std::optional<EntryKind> kindOf(const std::string& path) = 0;
    // The entries of a folder, "." and ".." excluded; nothing when the folder
    // does not exist or is not a folder.
    virtual std::optional<std::vector<FolderEntry>> readFolder(const std::string& folder) = 0;
    // 0 when `path` is a folder whose entries the user may list; otherwise why
    // not, as an error code (an errno, ENOTDIR for an entry of another kind; on
    // Windows a GetLastError code, ERROR_DIRECTORY). Never throws.
    virtual int folderError(const std::string& path) = 0;
    // The entry a path names, as a listing of its folder would show it: its
    // name as the folder holds it (its letter case, on Windows), its kind and
    // flags. A name typed in full is never hidden on POSIX, where only listings
    // leave dot-names out. Nothing when there is no such entry.
    virtual std::optional<FolderEntry> lookUp(const std::string& path) = 0;
    // Removes a file, or a symbolic link itself (never what it leads to).
    virtual void removeFile(const std::string& path) = 0;
    // Makes `folder` and any missing folders above it, private to the user.
    virtual void createFolders(const std::string& folder) = 0;
    // True when the user may write to `path`: a file's content, a folder's entries.
    virtual bool isWritable(const std::string& path) = 0;
    // True when a hole in a file made in `folder` would take space as data
    // does (FAT, exFAT), so that a sparse file there is as big on disk as it
    // is long: a probe file made there with a hole of kHoleProbeLength tells,
    // and is gone again at once. False when holes stay holes, and when no
    // probe can be made there (a job meets that reason itself).
    virtual bool fillsHoles(const std::string& folder) = 0;
    // True when both paths lead to the same existing entry, however they are
    // spelt (links, "." and ".." segments, letter case on a file system that
    // ignores it).
    virtual bool isSameEntry(const std::string& a, const std::string& b) = 0;
    // The system's own file or folder whose bytes `path` reads: `path` itself,
    // except for a path into a disc image, which reads the image file.
    virtual std::string backingFile(const std::string& path) { return path; }
    // The disc image or drive at `path` (a plain file, a block device), opened
    // to be read: while the result is held, its VIDEO_TS folder and the files
    // in it are read through this file system, and opening it again gives the
    // same image. Nothing when `path` names anything else (a folder, nothing at
    // all), or where this file system reads no images. Throws Failure, in one
    // line, when it cannot be read as a DVD-Video disc.
    virtual std::shared_ptr<const OpenedDiscImage> openDiscImage(const std::string& /*path*/) {
        return nullptr;
    }
};

}  // namespace vantrel::platform
