#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdint>

#include "platform/startup.h"

namespace vantrel::platform {
namespace {

bool isValid(HANDLE handle) {
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return false;
    ::SetLastError(NO_ERROR);
    return ::GetFileType(handle) != FILE_TYPE_UNKNOWN || ::GetLastError() == NO_ERROR;
}

}  // namespace

void prepareProcess() noexcept {
    const struct {
        DWORD id;
        int fd;  // the C runtime's descriptor on it
    } streams[] = {{STD_INPUT_HANDLE, 0}, {STD_OUTPUT_HANDLE, 1}, {STD_ERROR_HANDLE, 2}};
    for (const auto& stream : streams) {
        if (!isValid(::GetStdHandle(stream.id))) {
            const HANDLE nul = ::CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                             OPEN_EXISTING, 0, nullptr);
            if (nul != INVALID_HANDLE_VALUE) ::SetStdHandle(stream.id, nul);
        }
        // The runtime read the handles before the program began: it keeps the
        // value it was given, or none (-1, or -2 for a program without a console).
        const intptr_t runtimeHandle = ::_get_osfhandle(stream.fd);
        if (runtimeHandle < 0 || !isValid(reinterpret_cast<HANDLE>(runtimeHandle))) {
            const int nul = ::_open("NUL", stream.fd == 0 ? _O_RDONLY : _O_WRONLY);
            if (nul >= 0 && nul != stream.fd) {
                ::_dup2(nul, stream.fd);
                ::_close(nul);
            }
        }
    }
}

}  // namespace vantrel::platform
