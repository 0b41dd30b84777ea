#include <windows.h>

#include "platform/failure.h"
#include "platform/wide_text.h"

namespace vantrel::platform {

// The system's message, its line breaks made spaces (the width mask) and its
// trailing blanks cut: one line, as every description is.
std::string systemErrorText(int code) {
    wchar_t* message = nullptr;
    const DWORD length =
        ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                             FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_MAX_WIDTH_MASK,
                         nullptr, DWORD(code), 0, reinterpret_cast<wchar_t*>(&message), 0, nullptr);
    std::wstring text(message != nullptr ? message : L"", length);
    ::LocalFree(message);
    while (!text.empty() && (text.back() == L' ' || text.back() == L'\r' || text.back() == L'\n'))
        text.pop_back();
    if (text.empty()) return "system error " + std::to_string(code);
    return toUtf8(text);
}

}  // namespace vantrel::platform
