#include "log/log_file.h"

#include "platform/paths.h"
#include "platform/text.h"

namespace vantrel::log {
namespace {

// A log that has grown past the limit is deleted, so the append starts it anew.
void restartOversizedLog(platform::FileSystem& files, const std::string& file) {
    try {
        const auto kind = files.kindOf(file);
        if (kind == platform::EntryKind::PlainFile && files.fileLength(file) > kLogSizeLimit)
            files.removeFile(file);
    } catch (...) {
        // A size that cannot be taken deletes nothing; a refused deletion keeps the old log.
    }
}

}  // namespace

void appendToLog(platform::FileSystem& files, const std::string& programFolder,
                 const std::string& text, std::string& file) noexcept {
    try {
        if (platform::isBlank(file)) file = platform::joinPath(programFolder, kLogFileName);
        restartOversizedLog(files, file);
        const int fd = files.openForAppending(file);
        for (std::size_t done = 0; done < text.size();) {
            const std::int64_t put = files.write(fd, text.data() + done, text.size() - done);
            if (put <= 0) break;
            done += static_cast<std::size_t>(put);
        }
        files.close(fd);
    } catch (...) {
        // The log is the last resort: an entry that cannot be written is lost.
    }
}

}  // namespace vantrel::log
