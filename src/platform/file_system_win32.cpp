// Win32FileSystem: opening, reading, writing and locking. What a path names
// and the listing of folders are in folder_entries_win32.cpp.

#include <windows.h>
#include <winioctl.h>

#include <algorithm>
#include <limits>
#include <utility>

#include "platform/failure.h"
#include "platform/file_system_win32.h"
#include "platform/wide_text.h"
#include "platform/win32_handle.h"

namespace vantrel::platform {
namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The most one ReadFile or WriteFile call is asked to move.
constexpr std::size_t kLargestTransfer = std::size_t{1} << 30;

[[noreturn]] void failWith(const char* action, const std::string& path, DWORD error) {
    throwSystemFailure(action, path, int(error));
}

// Opens `path`; a folder, a device or a pipe is refused: it would fail only at
// the first read, or block the job for ever.
ScopedHandle openDiskFile(const std::string& path, DWORD access, DWORD share, DWORD disposition,
                          DWORD flags, const char* action) {
    ScopedHandle file(
        ::CreateFileW(widePath(path).c_str(), access, share, nullptr, disposition, flags, nullptr));
    if (!file.valid()) failWith(action, path, ::GetLastError());
    if (::GetFileType(file.get()) != FILE_TYPE_DISK)
        throw Failure(std::string(action) + " '" + path + "': not a plain file");
    return file;
}

}  // namespace

Win32FileSystem::~Win32FileSystem() {
    const std::lock_guard lock(m_handlesMutex);
    for (void* handle : m_handles) {
        if (handle != nullptr) ::CloseHandle(handle);
    }
}

int Win32FileSystem::adopt(void* handle) {
    const std::lock_guard lock(m_handlesMutex);
    const auto free = std::find(m_handles.begin(), m_handles.end(), nullptr);
    if (free != m_handles.end()) {
        *free = handle;
        return int(free - m_handles.begin());
    }
    m_handles.push_back(handle);
    return int(m_handles.size() - 1);
}

void* Win32FileSystem::handleOf(int fd) const {
    const std::lock_guard lock(m_handlesMutex);
    if (fd < 0 || std::size_t(fd) >= m_handles.size() || m_handles[std::size_t(fd)] == nullptr)
        return INVALID_HANDLE_VALUE;
    return m_handles[std::size_t(fd)];
}

int Win32FileSystem::openForReading(const std::string& path) {
    return adopt(openDiskFile(path, GENERIC_READ, kShareAll, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, "cannot open")
                     .release());
}

// Opened as it is and looked at before anything changes: a link (a reparse
// point standing for another place) is refused rather than followed out of
// the folder.
int Win32FileSystem::openForWriting(const std::string& path) {
    ScopedHandle file =
        openDiskFile(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, OPEN_ALWAYS,
                     FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, "cannot create");
    FILE_ATTRIBUTE_TAG_INFO tag{};
    if (::GetFileInformationByHandleEx(file.get(), FileAttributeTagInfo, &tag, sizeof tag) &&
        isLinkReparsePoint(tag.FileAttributes, tag.ReparseTag))
        throw Failure("cannot create '" + path + "': it is a link, which an output never follows");
    return adopt(file.release());
}

int Win32FileSystem::openForAppending(const std::string& path) {
    return adopt(openDiskFile(path, FILE_APPEND_DATA | SYNCHRONIZE, kShareAll, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, "cannot open")
                     .release());
}

std::int64_t Win32FileSystem::readAt(int fd, void* buffer, std::size_t count, std::int64_t offset) {
    OVERLAPPED at{};
    at.Offset = DWORD(std::uint64_t(offset));
    at.OffsetHigh = DWORD(std::uint64_t(offset) >> 32);
    DWORD got = 0;
    if (::ReadFile(handleOf(fd), buffer, DWORD(std::min(count, kLargestTransfer)), &got, &at))
        return got;
    const DWORD error = ::GetLastError();
    return error == ERROR_HANDLE_EOF ? 0 : -std::int64_t(error);
}

std::int64_t Win32FileSystem::write(int fd, const void* buffer, std::size_t count) {
    DWORD put = 0;
    if (::WriteFile(handleOf(fd), buffer, DWORD(std::min(count, kLargestTransfer)), &put, nullptr))
        return put;
    return -std::int64_t(::GetLastError());
}

std::int64_t Win32FileSystem::writeAt(int fd, const void* buffer, std::size_t count,
                                      std::int64_t offset) {
    OVERLAPPED at{};
    at.Offset = DWORD(std::uint64_t(offset));
    at.OffsetHigh = DWORD(std::uint64_t(offset) >> 32);
    DWORD put = 0;
    if (::WriteFile(handleOf(fd), buffer, DWORD(std::min(count, kLargestTransfer)), &put, &at))
        return put;
    return -std::int64_t(::GetLastError());
}

// Leaves the file position at the new end, where the next write belongs.
int Win32FileSystem::truncate(int fd, std::int64_t length) {
    LARGE_INTEGER position{};
    position.QuadPart = length;
    if (::SetFilePointerEx(handleOf(fd), position, nullptr, FILE_BEGIN) &&
        ::SetEndOfFile(handleOf(fd)))
        return 0;
    return -int(::GetLastError());
}

// NTFS gives a file that is not marked sparse space for every byte of its
// length; marked, its new length is a hole. FAT and exFAT refuse the mark.
int Win32FileSystem::makeSparse(int fd, std::int64_t length) {
    DWORD returned = 0;
    if (!::DeviceIoControl(handleOf(fd), FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned,
                           nullptr))
        return -int(::GetLastError());
    return truncate(fd, length);
}

int Win32FileSystem::statusOf(int fd, FileStatus& status) {
    return statusOfHandle(handleOf(fd), status) ? 0 : -int(::GetLastError());
}

int Win32FileSystem::close(int fd) {
    HANDLE handle = INVALID_HANDLE_VALUE;
    {
        const std::lock_guard lock(m_handlesMutex);
        if (fd < 0 || std::size_t(fd) >= m_handles.size() || m_handles[std::size_t(fd)] == nullptr)
            return -ERROR_INVALID_HANDLE;
        handle = std::exchange(m_handles[std::size_t(fd)], nullptr);
    }
    return ::CloseHandle(handle) ? 0 : -int(::GetLastError());
}

int Win32FileSystem::flushFile(int fd) {
    return ::FlushFileBuffers(handleOf(fd)) ? 0 : -int(::GetLastError());
}

// A folder locked without the right to add files to it holds nothing a job
// wrote: there is nothing to flush.
int Win32FileSystem::flushFolder(int fd) {
    if (::FlushFileBuffers(handleOf(fd))) return 0;
    const DWORD error = ::GetLastError();
    return error == ERROR_ACCESS_DENIED ? 0 : -int(error);
}

// The folder held open for writing its entries and shared with readers only:
// a second holder that asks the same is refused by the system until the handle
// closes, however the first one ends. Listing the folder and creating and
// deleting files in it stay possible for everyone. A folder this user may not
// add files to is opened without the lock: no job can write there anyway.
std::optional<int> Win32FileSystem::lockFolder(const std::string& folder) {
    const std::wstring path = widePath(folder);
    HANDLE handle =
        ::CreateFileW(path.c_str(), FILE_LIST_DIRECTORY | FILE_ADD_FILE, FILE_SHARE_READ, nullptr,
                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_SHARING_VIOLATION)
        return std::nullopt;
    if (handle == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_ACCESS_DENIED)
        handle = ::CreateFileW(path.c_str(), FILE_LIST_DIRECTORY, kShareAll, nullptr, OPEN_EXISTING,
                               FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) failWith("cannot lock", folder, ::GetLastError());
    return adopt(handle);
}

}  // namespace vantrel::platform
