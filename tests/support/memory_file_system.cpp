#include "support/memory_file_system.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string_view>

#include "platform/failure.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "support/system_errors.h"

namespace vantrel::testing {
namespace {

#ifdef _WIN32
constexpr int kBadDescriptor = 6;  // ERROR_INVALID_HANDLE
#else
constexpr int kBadDescriptor = EBADF;
#endif

}  // namespace

std::vector<std::string> MemoryFileSystem::componentsOf(const std::string& path) {
    std::vector<std::string> components;
    std::string component;
    for (std::size_t at = 0; at <= path.size(); ++at) {
        if (at < path.size() && !platform::isPathSeparator(path[at])) {
            component += path[at];
            continue;
        }
        if (component == "..") {
            if (!components.empty()) components.pop_back();
        } else if (!component.empty() && component != ".") {
            components.push_back(component);
        }
        component.clear();
    }
    return components;
}

// One pass, as every call of the file system asks for a key.
std::string MemoryFileSystem::keyOf(const std::string& path) {
    std::string key;
    key.reserve(path.size());
    std::size_t start = 0;
    for (std::size_t at = 0; at <= path.size(); ++at) {
        if (at < path.size() && !platform::isPathSeparator(path[at])) continue;
        const std::string_view part(path.data() + start, at - start);
        start = at + 1;
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            const auto slash = key.rfind('/');
            key.erase(slash == std::string::npos ? 0 : slash);
            continue;
        }
        if (!key.empty()) key += '/';
        key += part;
    }
#ifdef _WIN32
    for (char& c : key) c = platform::asciiLower(c);
#endif
    return key;
}

std::string MemoryFileSystem::parentOf(const std::string& key) {
    const auto slash = key.rfind('/');
    return slash == std::string::npos ? "" : key.substr(0, slash);
}

const MemoryFileSystem::Entry* MemoryFileSystem::find(const std::string& path) const {
    const auto entry = m_entries.find(keyOf(path));
    return entry == m_entries.end() ? nullptr : &entry->second;
}

int MemoryFileSystem::parentError(const std::string& path) const {
    const auto parent = m_entries.find(parentOf(keyOf(path)));
    if (parent == m_entries.end()) return kNoSuchFolder;
    return parent->second.folder ? 0 : kNotAFolder;
}

// The test's side.

void MemoryFileSystem::makeFolder(const std::string& path) { createFolders(path); }

void MemoryFileSystem::writeFile(const std::string& path, const Bytes& content) {
    const std::vector<std::string> components = componentsOf(path);
    if (components.empty()) throw std::runtime_error("no file at the root");
    createFolders(path + platform::kPathSeparator + "..");
    Entry& entry = m_entries[keyOf(path)];
    if (entry.identity == 0) entry = {components.back(), false, m_nextIdentity++, nullptr};
    if (entry.folder) throw std::runtime_error("a folder stands at " + path);
    // In place, as the disk's files change under their open descriptors.
    if (entry.bytes) {
        *entry.bytes = content;
    } else {
        entry.bytes = std::make_shared<Bytes>(content);
    }
}

void MemoryFileSystem::writeFile(const std::string& path, const std::string& content) {
    writeFile(path, Bytes(content.begin(), content.end()));
}

Bytes MemoryFileSystem::readFile(const std::string& path) const {
    const Entry* entry = find(path);
    if (entry == nullptr || entry->folder) throw std::runtime_error("no file " + path);
    return *entry->bytes;
}

std::string MemoryFileSystem::readText(const std::string& path) const {
    const Bytes bytes = readFile(path);
    return std::string(bytes.begin(), bytes.end());
}

bool MemoryFileSystem::holds(const std::string& path, const Bytes& content) const {
    const Entry* entry = find(path);
    return entry != nullptr && !entry->folder && *entry->bytes == content;
}

bool MemoryFileSystem::exists(const std::string& path) const { return find(path) != nullptr; }

std::vector<std::string> MemoryFileSystem::namesIn(const std::string& folder) const {
    std::vector<std::string> names;
    const std::string key = keyOf(folder);
    for (const auto& [entryKey, entry] : m_entries) {
        if (!entryKey.empty() && entryKey != key && parentOf(entryKey) == key)
            names.push_back(entry.name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Descriptors.

int MemoryFileSystem::adopt(Open open) {
    const auto free = std::find(m_open.begin(), m_open.end(), std::nullopt);
    if (free != m_open.end()) {
        *free = std::move(open);
        return int(free - m_open.begin());
    }
    m_open.push_back(std::move(open));
    return int(m_open.size() - 1);
}

MemoryFileSystem::Open* MemoryFileSystem::descriptor(int fd) {
    if (fd < 0 || std::size_t(fd) >= m_open.size() || !m_open[std::size_t(fd)]) return nullptr;
    return &*m_open[std::size_t(fd)];
}

int MemoryFileSystem::openForReading(const std::string& path) {
    const Entry* entry = find(path);
    if (entry == nullptr) platform::throwSystemFailure("cannot open", path, kNoSuchFile);
    if (entry->folder) platform::throwSystemFailure("cannot open", path, kIsAFolder);
    return adopt({entry->identity, entry->bytes});
}

int MemoryFileSystem::openFile(const std::string& path, bool appending) {
    const char* action = appending ? "cannot open" : "cannot create";
    if (const int error = parentError(path)) platform::throwSystemFailure(action, path, error);
    if (const Entry* entry = find(path); entry != nullptr && entry->folder)
        platform::throwSystemFailure(action, path, kIsAFolder);
    if (!exists(path)) writeFile(path, Bytes());
    const Entry* entry = find(path);
    return adopt({entry->identity, entry->bytes, appending});
}

int MemoryFileSystem::openForWriting(const std::string& path) { return openFile(path, false); }

int MemoryFileSystem::openForAppending(const std::string& path) { return openFile(path, true); }

std::int64_t MemoryFileSystem::readAt(int fd, void* buffer, std::size_t count,
                                      std::int64_t offset) {
    const Open* open = descriptor(fd);
    if (open == nullptr || !open->bytes) return -kBadDescriptor;
    const auto size = std::int64_t(open->bytes->size());
    const std::int64_t got = std::clamp<std::int64_t>(size - offset, 0, std::int64_t(count));
    if (got > 0) std::memcpy(buffer, open->bytes->data() + offset, std::size_t(got));
    return got;
}

std::int64_t MemoryFileSystem::write(int fd, const void* buffer, std::size_t count) {
    Open* open = descriptor(fd);
    if (open == nullptr || !open->bytes) return -kBadDescriptor;
    Bytes& bytes = *open->bytes;
    const std::int64_t at = open->appending ? std::int64_t(bytes.size()) : open->position;
    if (bytes.size() < std::size_t(at) + count) bytes.resize(std::size_t(at) + count);
    std::memcpy(bytes.data() + at, buffer, count);
    open->position = at + std::int64_t(count);
    return std::int64_t(count);
}

std::int64_t MemoryFileSystem::writeAt(int fd, const void* buffer, std::size_t count,
                                       std::int64_t offset) {
    Open* open = descriptor(fd);
    if (open == nullptr || !open->bytes) return -kBadDescriptor;
    Bytes& bytes = *open->bytes;
    if (bytes.size() < std::size_t(offset) + count) bytes.resize(std::size_t(offset) + count);
    std::memcpy(bytes.data() + offset, buffer, count);
    return std::int64_t(count);
}

// As ftruncate: the position stays where it was.
int MemoryFileSystem::truncate(int fd, std::int64_t length) {
    Open* open = descriptor(fd);
    if (open == nullptr || !open->bytes) return -kBadDescriptor;
    open->bytes->resize(std::size_t(length));
    return 0;
}

// Memory keeps no holes: they are zeros, as they read.
int MemoryFileSystem::makeSparse(int fd, std::int64_t length) { return truncate(fd, length); }

int MemoryFileSystem::statusOf(int fd, platform::FileStatus& status) {
    const Open* open = descriptor(fd);
    if (open == nullptr) return -kBadDescriptor;
    status = {{1, open->identity}, open->bytes ? std::int64_t(open->bytes->size()) : 0};
    return 0;
}

int MemoryFileSystem::close(int fd) {
    const Open* open = descriptor(fd);
    if (open == nullptr) return -kBadDescriptor;
    if (!open->bytes) m_locked.erase(open->identity);
    m_open[std::size_t(fd)].reset();
    return 0;
}

int MemoryFileSystem::flushFile(int fd) { return descriptor(fd) ? 0 : -kBadDescriptor; }

int MemoryFileSystem::flushFolder(int fd) { return descriptor(fd) ? 0 : -kBadDescriptor; }

std::optional<int> MemoryFileSystem::lockFolder(const std::string& folder) {
    if (const int error = folderError(folder))
        platform::throwSystemFailure("cannot lock", folder, error);
    const std::uint64_t identity = find(folder)->identity;
    if (!m_locked.insert(identity).second) return std::nullopt;
    return adopt({identity, nullptr});
}

// Paths.

std::int64_t MemoryFileSystem::fileLength(const std::string& path) {
    const Entry* entry = find(path);
    if (entry == nullptr) platform::throwSystemFailure("cannot measure", path, kNoSuchFile);
    return entry->folder ? 0 : std::int64_t(entry->bytes->size());
}

std::optional<platform::EntryKind> MemoryFileSystem::kindOf(const std::string& path) {
    const Entry* entry = find(path);
    if (entry == nullptr) return std::nullopt;
    return entry->folder ? platform::EntryKind::Folder : platform::EntryKind::PlainFile;
}

std::optional<std::vector<platform::FolderEntry>> MemoryFileSystem::readFolder(
    const std::string& folder) {
    if (folderError(folder) != 0) return std::nullopt;
    std::vector<platform::FolderEntry> entries;
    const std::string key = keyOf(folder);
    for (const auto& [entryKey, entry] : m_entries) {
        if (entryKey.empty() || entryKey == key || parentOf(entryKey) != key) continue;
        entries.push_back(
            {entry.name,
             entry.folder ? platform::EntryKind::Folder : platform::EntryKind::PlainFile, false,
#ifdef _WIN32
             false});
#else
             entry.name.front() == '.'});
#endif
    }
    return entries;
}

int MemoryFileSystem::folderError(const std::string& path) {
    const Entry* entry = find(path);
    if (entry == nullptr) return parentError(path) == kNotAFolder ? kNotAFolder : kNoSuchFolder;
    return entry->folder ? 0 : kNotAFolder;
}

std::optional<platform::FolderEntry> MemoryFileSystem::lookUp(const std::string& path) {
    const Entry* entry = find(path);
    if (entry == nullptr) return std::nullopt;
    return platform::FolderEntry{
        entry->name, entry->folder ? platform::EntryKind::Folder : platform::EntryKind::PlainFile};
}

void MemoryFileSystem::removeFile(const std::string& path) {
    const Entry* entry = find(path);
    if (entry == nullptr) platform::throwSystemFailure("cannot delete", path, kNoSuchFile);
    if (entry->folder) platform::throwSystemFailure("cannot delete", path, kIsAFolder);
    m_entries.erase(keyOf(path));
}

void MemoryFileSystem::createFolders(const std::string& folder) {
    std::string spelt;
    for (const std::string& part : componentsOf(folder)) {
        spelt += std::string(1, platform::kPathSeparator) + part;
        Entry& entry = m_entries[keyOf(spelt)];
        if (entry.identity == 0) entry = {part, true, m_nextIdentity++, nullptr};
        if (!entry.folder) platform::throwSystemFailure("cannot create", folder, kNotAFolder);
    }
}

bool MemoryFileSystem::isWritable(const std::string& path) { return exists(path); }

bool MemoryFileSystem::fillsHoles(const std::string&) { return holesTakeSpace; }

bool MemoryFileSystem::isSameEntry(const std::string& a, const std::string& b) {
    const Entry* first = find(a);
    return first != nullptr && first == find(b);
}

}  // namespace vantrel::testing
