#include "platform/folder_lock.h"

#include <optional>
#include <utility>

#include "platform/failure.h"

namespace vantrel::platform {

bool FolderLock::acquire(const std::string& folder) {
    release();
    const std::optional<int> fd = m_files.lockFolder(folder);
    if (!fd) return false;
    m_fd = *fd;
    m_folder = folder;
    return true;
}

void FolderLock::flush() {
    if (m_fd < 0) return;
    if (const int error = m_files.flushFolder(m_fd); error < 0)
        throwSystemFailure("cannot flush", m_folder, -error);
}

void FolderLock::release() noexcept {
    if (m_fd >= 0) m_files.close(std::exchange(m_fd, -1));
}

}  // namespace vantrel::platform
