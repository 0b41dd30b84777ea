#include "platform/disc_image_file_system.h"

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

}  // namespace

DiscImageFileSystem::DiscImageFileSystem(FileSystem& system, const DiscImage& image)
    : m_system(system), m_image(image), m_prefix(image.path() + ":") {}

std::string DiscImageFileSystem::videoTsFolder() const {
    return m_prefix + m_image.folderName() + "/";
}

std::optional<DiscImageFileSystem::Place> DiscImageFileSystem::inImage(
    const std::string& path) const {
    if (path.compare(0, m_prefix.size(), m_prefix) != 0) return std::nullopt;
    const std::vector<std::string> parts = componentsOf(path.substr(m_prefix.size()));
    using What = Place::What;
    if (parts.empty()) return Place{What::Root};
    if (parts.size() > 2 || !sameIgnoringCase(parts[0], m_image.folderName())) return Place{};
    if (parts.size() == 1) return Place{What::Folder};
    // A name spelt as the image has it first, then one in other letters.
    const auto& files = m_image.files();
    auto file = std::find_if(files.begin(), files.end(),
                             [&](const DiscImage::File& f) { return f.name == parts[1]; });
    if (file == files.end())
        file = std::find_if(files.begin(), files.end(), [&](const DiscImage::File& f) {
            return sameIgnoringCase(f.name, parts[1]);
        });
    // A file's path with a separator after it names nothing.
    if (file == files.end() || path.back() == '/') return Place{};
    return Place{What::File, &*file};
}

const DiscImage::File* DiscImageFileSystem::openFile(int fd) const {
    const auto slot = static_cast<std::size_t>(fd - kFirstImageDescriptor);
    return fd >= kFirstImageDescriptor && slot < m_open.size() ? m_open[slot] : nullptr;
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
    auto slot = std::find(m_open.begin(), m_open.end(), nullptr);
    if (slot == m_open.end()) slot = m_open.insert(slot, nullptr);
    *slot = place->file;
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
    const DiscImage::File* file = openFile(fd);
    return file ? m_image.read(*file, buffer, count, offset) : -EBADF;
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
    const DiscImage::File* file = openFile(fd);
    if (!file) return -EBADF;
    const int result = m_system.statusOf(m_image.descriptor(), status);
    status.length = file->length;
    return result;
}

int DiscImageFileSystem::close(int fd) {
    if (fd < kFirstImageDescriptor) return m_system.close(fd);
    if (!openFile(fd)) return -EBADF;
    m_open[static_cast<std::size_t>(fd - kFirstImageDescriptor)] = nullptr;
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
    if (!place) return m_system.kindOf(path);
    if (place->what == Place::What::Nothing) return std::nullopt;
    return place->file ? EntryKind::PlainFile : EntryKind::Folder;
}

std::optional<std::vector<FolderEntry>> DiscImageFileSystem::readFolder(const std::string& folder) {
    const auto place = inImage(folder);
    if (!place) return m_system.readFolder(folder);
    if (place->what == Place::What::Root)
        return std::vector<FolderEntry>{{m_image.folderName(), EntryKind::Folder}};
    if (place->what != Place::What::Folder) return std::nullopt;
    std::vector<FolderEntry> entries;
    for (const DiscImage::File& file : m_image.files())
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
    if (!place) return m_system.lookUp(path);
    switch (place->what) {
        case Place::What::Root:
            return FolderEntry{path.substr(path.rfind('/') + 1), EntryKind::Folder};
        case Place::What::Folder:
            return FolderEntry{m_image.folderName(), EntryKind::Folder};
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
    return inImage(path) ? m_image.path() : m_system.backingFile(path);
}

}  // namespace vantrel::platform
