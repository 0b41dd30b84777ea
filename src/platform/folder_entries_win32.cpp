// Win32FileSystem: what a path names, folder listings, deleting and making.

#include <windows.h>

#include <algorithm>

#include "platform/failure.h"
#include "platform/file_system_win32.h"
#include "platform/paths.h"
#include "platform/wide_text.h"
#include "platform/win32_handle.h"

namespace vantrel::platform {
namespace {

constexpr DWORD kHiddenOrSystem = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// Errors that only say there is nothing at the path.
bool meansAbsent(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
           error == ERROR_DIRECTORY || error == ERROR_BAD_NETPATH || error == ERROR_BAD_NET_NAME;
}

EntryKind kindOfAttributes(DWORD attributes) {
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? EntryKind::Folder : EntryKind::PlainFile;
}

// What a link leads to; Other when it leads nowhere.
EntryKind kindOfTarget(const std::wstring& path) {
    const ScopedHandle target = openForQuery(path);
    BY_HANDLE_FILE_INFORMATION information{};
    if (!target.valid() || !::GetFileInformationByHandle(target.get(), &information))
        return EntryKind::Other;
    return kindOfAttributes(information.dwFileAttributes);
}

FolderEntry entryOf(const WIN32_FIND_DATAW& found, const std::wstring& path) {
    const bool link = isLinkReparsePoint(found.dwFileAttributes, found.dwReserved0);
    return {toUtf8(found.cFileName),
            link ? kindOfTarget(path) : kindOfAttributes(found.dwFileAttributes), link,
            (found.dwFileAttributes & kHiddenOrSystem) != 0};
}

// "<>\"" are wildcards to FindFirstFile and never part of a name; "*" and "?"
// name no single entry either.
bool hasWildcardCharacter(const std::string& name) {
    return name.find_first_of("*?<>\"") != std::string::npos;
}

// A path to a folder that names a file ("notes.txt\"), which some systems call
// an invalid name rather than a missing folder.
bool isPlainFile(std::string path) {
    while (path.size() > 1 && isPathSeparator(path.back())) path.pop_back();
    const DWORD attributes = ::GetFileAttributesW(widePath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::size_t rootLength(const std::string& path) {
    if (path.size() >= 2 && path[1] == ':')
        return path.size() >= 3 && isPathSeparator(path[2]) ? 3 : 2;
    if (path.size() >= 2 && isPathSeparator(path[0]) && isPathSeparator(path[1])) {
        std::size_t separators = 0, at = 2;  // past \\server\share\ //
        for (; at < path.size() && separators < 2; ++at) separators += isPathSeparator(path[at]);
        return at;
    }
    return path.empty() || !isPathSeparator(path[0]) ? 0 : 1;
}

}  // namespace

std::int64_t Win32FileSystem::fileLength(const std::string& path) {
    const ScopedHandle file = openForQuery(widePath(path));
    LARGE_INTEGER size{};
    if (!file.valid() || !::GetFileSizeEx(file.get(), &size))
        throwSystemFailure("cannot measure", path, int(::GetLastError()));
    return size.QuadPart;
}

std::optional<EntryKind> Win32FileSystem::kindOf(const std::string& path) {
    const std::wstring wide = widePath(path);
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = ::GetLastError();
        if (meansAbsent(error)) return std::nullopt;
        throwSystemFailure("cannot look up", path, int(error));
    }
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) return kindOfAttributes(attributes);
    const EntryKind target = kindOfTarget(wide);
    if (target == EntryKind::Other) return std::nullopt;  // a link that leads nowhere
    return target;
}

std::optional<FolderEntry> Win32FileSystem::lookUp(const std::string& path) {
    const auto separator = std::find_if(path.rbegin(), path.rend(), isPathSeparator);
    const std::string name(separator.base(), path.end());
    if (hasWildcardCharacter(name)) throwSystemFailure("cannot look up", path, ERROR_INVALID_NAME);
    const std::wstring wide = widePath(path);
    WIN32_FIND_DATAW found{};
    const ScopedSearch search(::FindFirstFileExW(wide.c_str(), FindExInfoBasic, &found,
                                                 FindExSearchNameMatch, nullptr, 0));
    if (!search.valid()) {
        const DWORD error = ::GetLastError();
        if (meansAbsent(error) || error == ERROR_INVALID_NAME) {
            // A root ("C:\"), or what FindFirstFile cannot name: asked as a whole.
            const auto kind = kindOf(path);
            if (!kind) return std::nullopt;
            return FolderEntry{name, *kind, false, false};
        }
        throwSystemFailure("cannot look up", path, int(error));
    }
    return entryOf(found, wide);
}

std::optional<std::vector<FolderEntry>> Win32FileSystem::readFolder(const std::string& folder) {
    const std::wstring prefix =
        toWide(folder.empty() || isPathSeparator(folder.back()) ? folder : folder + kPathSeparator);
    WIN32_FIND_DATAW found{};
    const ScopedSearch search(::FindFirstFileExW(widePath(joinPath(folder, "*")).c_str(),
                                                 FindExInfoBasic, &found, FindExSearchNameMatch,
                                                 nullptr, FIND_FIRST_EX_LARGE_FETCH));
    std::vector<FolderEntry> entries;
    if (!search.valid()) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND) return entries;  // an empty drive root
        if (meansAbsent(error) || isPlainFile(folder)) return std::nullopt;
        throwSystemFailure("cannot list", folder, int(error));
    }
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        entries.push_back(entryOf(found, widePath(toUtf8(prefix + name))));
    } while (::FindNextFileW(search.get(), &found));
    const DWORD error = ::GetLastError();
    if (error != ERROR_NO_MORE_FILES) throwSystemFailure("cannot list", folder, int(error));
    return entries;
}

int Win32FileSystem::folderError(const std::string& path) {
    WIN32_FIND_DATAW found{};
    const ScopedSearch search(::FindFirstFileExW(widePath(joinPath(path, "*")).c_str(),
                                                 FindExInfoBasic, &found, FindExSearchNameMatch,
                                                 nullptr, 0));
    if (search.valid()) return 0;
    const DWORD error = ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND) return 0;  // an empty drive root
    return isPlainFile(path) ? ERROR_DIRECTORY : int(error);
}

// A link to a folder is a folder entry of its own: it goes with
// RemoveDirectory, which takes the link and never what it leads to.
void Win32FileSystem::removeFile(const std::string& path) {
    const std::wstring wide = widePath(path);
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    const bool folderLink = attributes != INVALID_FILE_ATTRIBUTES &&
                            (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
                            (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    if (!(folderLink ? ::RemoveDirectoryW(wide.c_str()) : ::DeleteFileW(wide.c_str())))
        throwSystemFailure("cannot delete", path, int(::GetLastError()));
}

void Win32FileSystem::createFolders(const std::string& folder) {
    for (std::size_t at = rootLength(folder); at <= folder.size(); ++at) {
        if (at < folder.size() && !isPathSeparator(folder[at])) continue;
        const std::string part = folder.substr(0, at);
        if (part.empty() || isPathSeparator(part.back())) continue;
        if (!::CreateDirectoryW(widePath(part).c_str(), nullptr) &&
            ::GetLastError() != ERROR_ALREADY_EXISTS)
            throwSystemFailure("cannot create", part, int(::GetLastError()));
    }
}

// The access rules that count are the folder's and the file's own lists,
// which only trying tells: a folder is writable when a file can be made in it,
// a file when it can be opened for writing.
bool Win32FileSystem::isWritable(const std::string& path) {
    const auto kind = kindOf(path);
    if (!kind) return false;
    if (*kind == EntryKind::Folder) {
        const std::string probe =
            joinPath(path, ".vantrel-" + std::to_string(::GetCurrentProcessId()) + "-" +
                               std::to_string(::GetTickCount64()) + ".tmp");
        const ScopedHandle file(::CreateFileW(
            widePath(probe).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
            FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
        return file.valid();
    }
    const ScopedHandle file(::CreateFileW(widePath(path).c_str(), GENERIC_WRITE,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, 0, nullptr));
    return file.valid();
}

bool Win32FileSystem::isSameEntry(const std::string& a, const std::string& b) {
    const ScopedHandle first = openForQuery(widePath(a));
    const ScopedHandle second = openForQuery(widePath(b));
    return first.valid() && second.valid() && sameFile(first.get(), second.get());
}

// Windows 8 and later mount an image on a double click, as a drive whose
// VIDEO_TS folder is a source; Windows 7 does not, but other tools do.
std::shared_ptr<const OpenedDiscImage> Win32FileSystem::openDiscImage(const std::string& path) {
    bool plainFile = false;
    try {
        plainFile = kindOf(path) == EntryKind::PlainFile;
    } catch (const Failure&) {
        // What cannot be looked at is left to the folder checks, which say why.
    }
    if (!plainFile) return nullptr;
    throw Failure("'" + path +
                      "' is a file, not a folder: disc images are read on Linux only; mount it "
                      "(Mount in its menu in Explorer, or Mount-DiskImage in PowerShell; on "
                      "Windows 7, which has neither, any tool that mounts images as drives) and "
                      "give the VIDEO_TS folder of its drive",
                  "disc images are read on Linux only");
}

}  // namespace vantrel::platform
