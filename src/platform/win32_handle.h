#pragma once

// Windows only: handles closed when they go out of scope.

#include <windows.h>

#include <utility>

#include "platform/file_system.h"

namespace vantrel::platform {

// A handle that `Close` closes.
template <BOOL(WINAPI* Close)(HANDLE)>
class BasicScopedHandle {
  public:
    explicit BasicScopedHandle(HANDLE handle) : m_handle(handle) {}
    ~BasicScopedHandle() {
        if (valid()) Close(m_handle);
    }
    BasicScopedHandle(BasicScopedHandle&& other) noexcept : m_handle(other.release()) {}
    BasicScopedHandle(const BasicScopedHandle&) = delete;
    BasicScopedHandle& operator=(const BasicScopedHandle&) = delete;

    bool valid() const { return m_handle != INVALID_HANDLE_VALUE && m_handle != nullptr; }
    HANDLE get() const { return m_handle; }
    HANDLE release() { return std::exchange(m_handle, INVALID_HANDLE_VALUE); }

  private:
    HANDLE m_handle;
};

// A file, folder or other kernel object's handle.
using ScopedHandle = BasicScopedHandle<::CloseHandle>;
// A FindFirstFile search.
using ScopedSearch = BasicScopedHandle<::FindClose>;

// Opens what `path` leads to (links followed) to ask about it, without
// reading it and without standing in anyone's way; folders too.
inline ScopedHandle openForQuery(const std::wstring& path) {
    return ScopedHandle(::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

// Which file or folder a handle is open on, and its length: the volume's serial
// number and the file's index name it however its path is spelt (letter case,
// "/" or "\", short names, links, hard links). False when the system cannot tell.
inline bool statusOfHandle(HANDLE handle, FileStatus& status) {
    BY_HANDLE_FILE_INFORMATION information{};
    if (!::GetFileInformationByHandle(handle, &information)) return false;
    status.identity = {information.dwVolumeSerialNumber,
                       std::uint64_t(information.nFileIndexHigh) << 32 | information.nFileIndexLow};
    status.length =
        std::int64_t(std::uint64_t(information.nFileSizeHigh) << 32 | information.nFileSizeLow);
    return true;
}

// True when both handles are open on one file or folder.
inline bool sameFile(HANDLE a, HANDLE b) {
    FileStatus first, second;
    return statusOfHandle(a, first) && statusOfHandle(b, second) &&
           first.identity == second.identity;
}

// True for the reparse points that stand for another place (symbolic links,
// junctions), as opposed to those that are files themselves (cloud files,
// deduplicated files).
inline bool isLinkReparsePoint(DWORD attributes, DWORD reparseTag) {
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
           IsReparseTagNameSurrogate(reparseTag);
}

}  // namespace vantrel::platform
