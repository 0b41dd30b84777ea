#include "platform/disc_image_file_system.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>

#include "platform/failure.h"
#include "platform/text.h"

namespace vantrel::platform {
namespace {

// The components of a path inside the image, empty ones (from "//" or a
// trailing separator) left out.
std::vector<std::string> componentsOf(const std::string& inside) {
    std::vector<std::string> components;
    for (std::size_t at = 0; at <= inside.size();) {
        const std::size_t end = std::min(inside.find('/', at), inside.size());
        if (end > at) components.push_back(inside.substr(at, end - at));
        at = end + 1;
    }
    return components;
}

// What may be an image: a plain file or a drive. Anything else that is no
// folder (a pipe, a terminal) could block a read.
bool isImageOrDrive(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && (S_ISREG(info.st_mode) || S_ISBLK(info.st_mode));
}

bool isDrive(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISBLK(info.st_mode);
}

}  // namespace

DiscImageFileSystem::DiscImageFileSystem(FileSystem& system) : m_system(system) {}

std::shared_ptr<const DiscImage> DiscImageFileSystem::open(const std::string& path) {
    const std::lock_guard lock(m_mutex);
    for (const auto& opened : m_images) {
        if (auto image = opened.lock(); image && image->path() == path) return image;
    }
    std::erase_if(m_images, [](const auto& opened) { return opened.expired(); });
    auto image = std::make_shared<const DiscImage>(path);
    m_images.push_back(image);
    return image;
}

std::shared_ptr<const OpenedDiscImage> DiscImageFileSystem::openDiscImage(const std::string& path) {
    if (inImage(path) || !isImageOrDrive(path)) return nullptr;
    return open(path);
}

std::optional<DiscImageFileSystem::Place> DiscImageFileSystem::inImage(
    const std::string& path) const {
    std::shared_ptr<const DiscImage> image;
    std::unique_lock lock(m_mutex);
    for (const auto& opened : m_images) {
        image = opened.lock();
        if (image && path.size() > image->path().size() &&
            path.compare(0, image->path().size(), image->path()) == 0 &&
            path[image->path().size()] == ':')
            break;
        image.reset();
    }
    lock.unlock();
    if (!image) return std::nullopt;
    const std::vector<std::string> parts = componentsOf(path.substr(image->path().size() + 1));
    using What = Place::What;
    if (parts.empty()) return Place{What::Root, image};
    if (parts.size() > 2 || !sameIgnoringCase(parts[0], image->folderName()))
        return Place{What::Nothing, image};
    if (parts.size() == 1) return Place{What::Folder, image};
    // A name spelt as the image has it first, then one in other letters.
    const auto& files = image->files();
    auto file = std::find_if(files.begin(), files.end(),
                             [&](const DiscImage::File& f) { return f.name == parts[1]; });
    if (file == files.end())
        file = std::find_if(files.begin(), files.end(), [&](const DiscImage::File& f) {
            return sameIgnoringCase(f.name, parts[1]);
        });
    // A file's path with a separator after it names nothing.
    if (file == files.end() || path.back() == '/') return Place{What::Nothing, image};
    return Place{What::File, image, &*file};
}

std::optional<DiscImageFileSystem::OpenFile> DiscImageFileSystem::openFile(int fd) const {
    const std::lock_guard lock(m_mutex);
    const auto slot = static_cast<std::size_t>(fd - kFirstImageDescriptor);
    if (fd < kFirstImageDescriptor || slot >= m_open.size() || !m_open[slot].image)
        return std::nullopt;
    return m_open[slot];
}

void DiscImageFileSystem::refuseWriting(const char* action, const std::string& path) {
    throwSystemFailure(action, path, EROFS);
}

int DiscImageFileSystem::openForReading(const std::string& path) {
    const auto place = inImage(path);
    if (!place) return m_system.openForReading(path);
    if (place->what != Place::What::File)
        throwSystemFailure("cannot open", path,
                           place->what == Place::What::Nothing ? ENOENT : EISDIR);
    const std::lock_guard lock(m_mutex);
    auto slot = std::find_if(m_open.begin(), m_open.end(),
                             [](const OpenFile& open) { return !open.image; });
    if (slot == m_open.end()) slot = m_open.insert(slot, OpenFile{});
    *slot = OpenFile{place->image, place->file};
    return kFirstImageDescriptor + static_cast<int>(slot - m_open.begin());
}

int DiscImageFileSystem::openForWriting(const std::string& path) {
    if (inImage(path)) refuseWriting("cannot create", path);
    return m_system.openForWriting(path);
}

int DiscImageFileSystem::openForAppending(const std::string& path) {
    if (inImage(path)) refuseWriting("cannot open", path);
    return m_system.openForAppending(path);
}

std::int64_t DiscImageFileSystem::readAt(int fd, void* buffer, std::size_t count,
                                         std::int64_t offset) {
    if (fd < kFirstImageDescriptor) return m_system.readAt(fd, buffer, count, offset);
    const auto open = openFile(fd);
    return open ? open->image->read(*open->file, buffer, count, offset) : -EBADF;
}

std::int64_t DiscImageFileSystem::readAtWithoutWaiting(int fd, void* buffer, std::size_t count,
                                                       std::int64_t offset) {
    if (fd < kFirstImageDescriptor) return m_system.readAtWithoutWaiting(fd, buffer, count, offset);
    const auto open = openFile(fd);
    return open ? open->image->readWithoutWaiting(*open->file, buffer, count, offset) : -EBADF;
}

std::int64_t DiscImageFileSystem::write(int fd, const void* buffer, std::size_t count) {
    return fd < kFirstImageDescriptor ? m_system.write(fd, buffer, count) : -EBADF;
}

std::int64_t DiscImageFileSystem::writeAt(int fd, const void* buffer, std::size_t count,
                                          std::int64_t offset) {
    return fd < kFirstImageDescriptor ? m_system.writeAt(fd, buffer, count, offset) : -EBADF;
}

int DiscImageFileSystem::truncate(int fd, std::int64_t length) {
    return fd < kFirstImageDescriptor ? m_system.truncate(fd, length) : -EBADF;
}

int DiscImageFileSystem::makeSparse(int fd, std::int64_t length) {
    return fd < kFirstImageDescriptor ? m_system.makeSparse(fd, length) : -EBADF;
}

// A file in the image is the image file itself: an output must never be it,
// since the image's files are read from it.
int DiscImageFileSystem::statusOf(int fd, FileStatus& status) {
    if (fd < kFirstImageDescriptor) return m_system.statusOf(fd, status);
    const auto open = openFile(fd);
    if (!open) return -EBADF;
    const int result = m_system.statusOf(open->image->descriptor(), status);
    status.length = open->file->length;
    return result;
}

int DiscImageFileSystem::close(int fd) {
    if (fd < kFirstImageDescriptor) return m_system.close(fd);
    if (!openFile(fd)) return -EBADF;
    const std::lock_guard lock(m_mutex);
    m_open[static_cast<std::size_t>(fd - kFirstImageDescriptor)] = OpenFile{};
    return 0;
}

int DiscImageFileSystem::flushFile(int fd) {
    return fd < kFirstImageDescriptor ? m_system.flushFile(fd) : -EBADF;
}

int DiscImageFileSystem::flushFolder(int fd) {
    return fd < kFirstImageDescriptor ? m_system.flushFolder(fd) : -EBADF;
}

std::optional<int> DiscImageFileSystem::lockFolder(const std::string& folder) {
    if (inImage(folder)) refuseWriting("cannot lock", folder);
    return m_system.lockFolder(folder);
}

std::int64_t DiscImageFileSystem::fileLength(const std::string& path) {
    const auto place = inImage(path);
    if (!place) return m_system.fileLength(path);
    if (place->what == Place::What::Nothing) throwSystemFailure("cannot measure", path, ENOENT);
    return place->file ? place->file->length : 0;
}

std::optional<EntryKind> DiscImageFileSystem::kindOf(const std::string& path) {
    const auto place = inImage(path);
    if (!place) {
        const auto kind = m_system.kindOf(path);
        return kind == EntryKind::Other && isDrive(path) ? EntryKind::PlainFile : kind;
    }
    if (place->what == Place::What::Nothing) return std::nullopt;
    return place->file ? EntryKind::PlainFile : EntryKind::Folder;
}

std::optional<std::vector<FolderEntry>> DiscImageFileSystem::readFolder(const std::string& folder) {
    const auto place = inImage(folder);
    if (!place) return m_system.readFolder(folder);
    if (place->what == Place::What::Root)
        return std::vector<FolderEntry>{{place->image->folderName(), EntryKind::Folder}};
    if (place->what != Place::What::Folder) return std::nullopt;
    std::vector<FolderEntry> entries;
    for (const DiscImage::File& file : place->image->files())
        entries.push_back({file.name, EntryKind::PlainFile});
    return entries;
}

int DiscImageFileSystem::folderError(const std::string& path) {
    const auto place = inImage(path);
    if (!place) return m_system.folderError(path);
    if (place->what == Place::What::Nothing) return ENOENT;
    return place->file ? ENOTDIR : 0;
}

std::optional<FolderEntry> DiscImageFileSystem::lookUp(const std::string& path) {
    const auto place = inImage(path);
    if (!place) {
        auto entry = m_system.lookUp(path);
        if (entry && entry->kind == EntryKind::Other && isDrive(path))
            entry->kind = EntryKind::PlainFile;
        return entry;
    }
    switch (place->what) {
        case Place::What::Root:
            return FolderEntry{path.substr(path.rfind('/') + 1), EntryKind::Folder};
        case Place::What::Folder:
            return FolderEntry{place->image->folderName(), EntryKind::Folder};
        case Place::What::File:
            return FolderEntry{place->file->name, EntryKind::PlainFile};
        case Place::What::Nothing:
            break;
    }
    return std::nullopt;
}

void DiscImageFileSystem::removeFile(const std::string& path) {
    if (inImage(path)) refuseWriting("cannot delete", path);
    m_system.removeFile(path);
}

void DiscImageFileSystem::createFolders(const std::string& folder) {
    if (inImage(folder)) refuseWriting("cannot create", folder);
    m_system.createFolders(folder);
}

bool DiscImageFileSystem::isWritable(const std::string& path) {
    return !inImage(path) && m_system.isWritable(path);
}

// Nothing is ever made in the image.
bool DiscImageFileSystem::fillsHoles(const std::string& folder) {
    return !inImage(folder) && m_system.fillsHoles(folder);
}

bool DiscImageFileSystem::isSameEntry(const std::string& a, const std::string& b) {
    const auto first = inImage(a), second = inImage(b);
    if (!first && !second) return m_system.isSameEntry(a, b);
    return first && second && *first == *second && first->what != Place::What::Nothing;
}

std::string DiscImageFileSystem::backingFile(const std::string& path) {
    const auto place = inImage(path);
    return place ? place->image->path() : m_system.backingFile(path);
}

}  // namespace vantrel::platform
