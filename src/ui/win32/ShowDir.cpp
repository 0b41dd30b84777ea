#include "ui/win32/ShowDir.h"

#include <objbase.h>
#include <shlobj.h>

#include <cwchar>
#include <vector>

#include "platform/paths.h"
#include "platform/wide_text.h"
#include "ui/win32/com_apartment.h"

namespace vantrel::ui::win32 {
namespace {

// The longest path the system takes, so that a folder deep in the tree comes
// back whole rather than being cut at MAX_PATH.
constexpr DWORD kLongestPath = 32768;

}  // namespace

std::string ShowDir::PickFolder(const std::string& start, std::uint32_t flags) {
    const std::wstring folder = platform::toWide(start.empty() ? platform::systemRoot() : start);
    // The newer browser (BIF_NEWDIALOGSTYLE) needs COM for as long as it is open.
    const ComApartment com;
    BROWSEINFOW browse{};
    browse.hwndOwner = nullptr;
    browse.pidlRoot = nullptr;
    browse.pszDisplayName = nullptr;
    browse.lpszTitle = L"Select folder";
    browse.ulFlags = flags;
    browse.lpfn = PickFolderHook;
    browse.lParam = reinterpret_cast<LPARAM>(folder.c_str());

    PIDLIST_ABSOLUTE chosen = ::SHBrowseForFolderW(&browse);
    std::string result;
    if (chosen != nullptr) {
        std::vector<wchar_t> path(kLongestPath, L'\0');
        if (::SHGetPathFromIDListEx(chosen, path.data(), kLongestPath, GPFIDL_DEFAULT) != FALSE)
            result = platform::toUtf8(path.data(), std::wcslen(path.data()));
        ::CoTaskMemFree(chosen);
    }
    return result;
}

int CALLBACK ShowDir::PickFolderHook(HWND dialog, UINT message, LPARAM, LPARAM data) {
    if (message == BFFM_INITIALIZED) ::SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, data);
    return 0;
}

}  // namespace vantrel::ui::win32
