#include <windows.h>

// After <windows.h>, whose types it uses.
#include <winver.h>

#include <cwchar>
#include <vector>

#include "platform/wide_text.h"
#include "support/program_file.h"

namespace vantrel::testing {

std::string programResource(const std::string& program, LPCWSTR type) {
    const HMODULE module =
        ::LoadLibraryExW(platform::toWide(program).c_str(), nullptr,
                         LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (module == nullptr) return "";
    std::string bytes;
    if (const HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(1), type)) {
        bytes.assign(static_cast<const char*>(::LockResource(::LoadResource(module, found))),
                     ::SizeofResource(module, found));
    }
    ::FreeLibrary(module);
    return bytes;
}

std::string versionText(const std::string& program, const std::string& name) {
    const std::wstring file = platform::toWide(program);
    std::vector<BYTE> block(::GetFileVersionInfoSizeW(file.c_str(), nullptr));
    if (block.empty() || !::GetFileVersionInfoW(file.c_str(), 0, DWORD(block.size()), block.data()))
        return "";
    const std::wstring path = L"\\StringFileInfo\\040904B0\\" + platform::toWide(name);
    wchar_t* text = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(block.data(), path.c_str(), reinterpret_cast<void**>(&text), &length))
        return "";
    return platform::toUtf8(text, std::wcslen(text));
}

}  // namespace vantrel::testing
