#include "platform/folder_lock.h"

#include <optional>
#include <utility>

namespace vantrel::platform {

bool FolderLock::acquire(const std::string& folder) {
    release();
    const std::optional<int> fd = m_files.lockFolder(folder);
    if (!fd) return false;
    m_fd = *fd;
    return true;
}

void FolderLock::release() noexcept {
    if (m_fd >= 0) m_files.close(std::exchange(m_fd, -1));
}

}  // namespace vantrel::platform
