// Win32FileSystem::fillsHoles: whether holes take space where a file is made.

#include <windows.h>
#include <winioctl.h>

#include <string>

#include "platform/file_system_win32.h"
#include "platform/paths.h"
#include "platform/wide_text.h"
#include "platform/win32_handle.h"

namespace vantrel::platform {

// A hidden probe, deleted when its handle closes, is marked sparse and given
// its length as an output would be, then asked how much space it took. The
// volume's FILE_SUPPORTS_SPARSE_FILES flag is not asked: Wine leaves it out
// on file systems that keep holes. FAT and exFAT refuse the mark.
bool Win32FileSystem::fillsHoles(const std::string& folder) {
    const std::string path =
        joinPath(folder, ".vantrel-hole-probe-" + std::to_string(::GetCurrentProcessId()));
    const ScopedHandle probe(
        ::CreateFileW(widePath(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                      FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (!probe.valid()) return false;
    DWORD returned = 0;
    LARGE_INTEGER length{};
    length.QuadPart = kHoleProbeLength;
    if (!::DeviceIoControl(probe.get(), FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned,
                           nullptr) ||
        !::SetFilePointerEx(probe.get(), length, nullptr, FILE_BEGIN) ||
        !::SetEndOfFile(probe.get()))
        return true;
    FILE_STANDARD_INFO taken{};
    return ::GetFileInformationByHandleEx(probe.get(), FileStandardInfo, &taken, sizeof taken) &&
           taken.AllocationSize.QuadPart >= kHoleProbeLength;
}

}  // namespace vantrel::platform
