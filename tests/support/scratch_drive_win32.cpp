#include <filesystem>

#include "support/scratch_drive.h"
#include "support/temp_folder.h"

namespace vantrel::testing {
namespace {

constexpr const char* kMarker = ".vantrel-scratch-drive";

}  // namespace

ScratchDrive::ScratchDrive() {
    if (!exists(std::string("T:\\") + kMarker)) return;
    m_root = "T:\\";
    hide(*m_root + kMarker);
    empty();
}

ScratchDrive::~ScratchDrive() {
    if (m_root) empty();
}

void ScratchDrive::empty() const {
    for (const auto& entry : std::filesystem::directory_iterator(nativePath(*m_root))) {
        if (entry.path().filename() != kMarker) std::filesystem::remove_all(entry.path());
    }
}

}  // namespace vantrel::testing
