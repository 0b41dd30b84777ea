#include <windows.h>

#include <filesystem>

#include "support/scratch_drive.h"
#include "support/temp_folder.h"

namespace vantrel::testing {
namespace {

constexpr const char* kMarker = ".vantrel-scratch-drive";
constexpr const wchar_t* kMarkerPath = L"T:\\.vantrel-scratch-drive";

}  // namespace

ScratchDrive::ScratchDrive() {
    if (!exists(std::string("T:\\") + kMarker)) return;
    hide(std::string("T:\\") + kMarker);
    HANDLE marker;
    while ((marker = ::CreateFileW(kMarkerPath, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                                   nullptr)) == INVALID_HANDLE_VALUE &&
           ::GetLastError() == ERROR_SHARING_VIOLATION)
        ::Sleep(50);  // another test program has the drive
    if (marker == INVALID_HANDLE_VALUE) return;
    m_marker = marker;
    m_root = "T:\\";
    empty();
}

ScratchDrive::~ScratchDrive() {
    if (!m_root) return;
    empty();
    ::CloseHandle(m_marker);
}

void ScratchDrive::empty() const {
    for (const auto& entry : std::filesystem::directory_iterator(nativePath(*m_root))) {
        if (entry.path().filename() != kMarker) std::filesystem::remove_all(entry.path());
    }
}

}  // namespace vantrel::testing
