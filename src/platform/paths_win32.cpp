#include <windows.h>

// After <windows.h>, whose types it uses.
#include <shlobj.h>

#include <vector>

#include "platform/paths.h"
#include "platform/wide_text.h"

namespace vantrel::platform {
namespace {

// The variable's value when it is set and names an absolute folder.
std::wstring absoluteFolderOf(const wchar_t* variable) {
    std::vector<wchar_t> value(MAX_PATH);
    DWORD length = ::GetEnvironmentVariableW(variable, value.data(), DWORD(value.size()));
    if (length >= value.size()) {
        value.resize(length);
        length = ::GetEnvironmentVariableW(variable, value.data(), DWORD(value.size()));
    }
    const std::wstring folder(value.data(), length < value.size() ? length : 0);
    const bool absolute =
        (folder.size() >= 3 && folder[1] == L':' && (folder[2] == L'\\' || folder[2] == L'/')) ||
        folder.rfind(L"\\\\", 0) == 0;
    return absolute ? folder : std::wstring();
}

// A folder the shell knows by its number (CSIDL_...), or "".
std::wstring shellFolder(int folder) {
    wchar_t path[MAX_PATH] = {};
    return ::SHGetFolderPathW(nullptr, folder, nullptr, 0, path) == S_OK ? path : L"";
}

// True when `folder` is `top` or lies below it, letter case ignored.
bool isWithin(const std::wstring& folder, const std::wstring& top) {
    if (top.empty() || folder.size() < top.size()) return false;
    if (::CompareStringOrdinal(folder.c_str(), int(top.size()), top.c_str(), int(top.size()),
                               TRUE) != CSTR_EQUAL)
        return false;
    return folder.size() == top.size() || folder[top.size()] == L'\\' || top.back() == L'\\';
}

// `variable`\Vantrel, or the shell's `folder`\Vantrel when it is not an absolute path.
std::string userFolder(const wchar_t* variable, int folder) {
    std::wstring base = absoluteFolderOf(variable);
    if (base.empty()) base = shellFolder(folder);
    if (base.empty()) return joinPath(homeFolder(), "Vantrel");
    return joinPath(toUtf8(base), "Vantrel");
}

}  // namespace

std::string systemRoot() { return "C:\\"; }

// "C:\" or "\\server\share\", however it is spelt ("C:/", "C:\x\..").
bool isDriveRoot(const std::string& folder) {
    const std::wstring full = fullPath(toWide(folder.empty() ? "." : folder));
    if (full.size() == 3 && full[1] == L':' && full[2] == L'\\') return true;
    if (full.rfind(L"\\\\", 0) != 0) return false;
    const auto server = full.find(L'\\', 2);
    if (server == std::wstring::npos) return false;
    const auto share = full.find(L'\\', server + 1);
    return share == std::wstring::npos || share + 1 == full.size();
}

std::string programFolder() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), DWORD(buffer.size()));
        if (length == 0) return systemRoot();
        if (length < buffer.size()) {
            const std::wstring program = withoutLongPrefix(std::wstring(buffer.data(), length));
            const auto separator = program.find_last_of(L"\\/");
            if (separator == std::wstring::npos) return systemRoot();
            // A program in a drive root keeps the root's own separator: "C:\".
            const bool root = separator == 2 && program[1] == L':';
            return toUtf8(program.substr(0, root ? separator + 1 : separator));
        }
        buffer.resize(buffer.size() * 2);
    }
}

// The Program Files folders and the Windows folder: installers' and the
// system's own, never the place for what a program writes as it runs.
bool isSystemProgramFolder(const std::string& folder) {
    const std::wstring full = fullPath(toWide(folder));
    for (const int top : {CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILESX86, CSIDL_WINDOWS}) {
        if (isWithin(full, shellFolder(top))) return true;
    }
    return false;
}

std::string homeFolder() {
    const std::wstring profile = absoluteFolderOf(L"USERPROFILE");
    return profile.empty() ? systemRoot() : toUtf8(profile);
}

std::string userConfigFolder() { return userFolder(L"APPDATA", CSIDL_APPDATA); }

std::string userStateFolder() { return userFolder(L"LOCALAPPDATA", CSIDL_LOCAL_APPDATA); }

}  // namespace vantrel::platform
