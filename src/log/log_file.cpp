#include "log/log_file.h"

#include "platform/failure.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace vantrel::log {
namespace {

// A log that has grown past the limit is deleted, so the append starts it
// anew; true when it was.
bool restartOversizedLog(platform::FileSystem& files, const std::string& file) {
    try {
        const auto kind = files.kindOf(file);
        if (kind == platform::EntryKind::PlainFile && files.fileLength(file) > kLogSizeLimit) {
            files.removeFile(file);
            return true;
        }
    } catch (...) {
        // A size that cannot be taken deletes nothing; a refused deletion keeps the old log.
    }
    return false;
}

void makeFolderOf(platform::FileSystem& files, const std::string& file) {
    const auto slash = file.rfind(platform::kPathSeparator);
    if (slash == std::string::npos || slash == 0) return;
    const std::string folder = file.substr(0, slash);
    if (files.kindOf(folder) != platform::EntryKind::Folder) files.createFolders(folder);
}

}  // namespace

std::string defaultLogFile(platform::FileSystem& files, const std::string& programFolder) {
    const std::string beside = platform::joinPath(programFolder, kLogFileName);
    try {
        // An installed program leaves its folder alone even when root runs it.
        if (!platform::isSystemProgramFolder(programFolder) && files.isWritable(programFolder) &&
            (!files.kindOf(beside) || files.isWritable(beside)))
            return beside;
    } catch (...) {
        // A log that cannot even be looked at goes where the user's own files go.
    }
    return platform::joinPath(platform::userStateFolder(), kLogFileName);
}

AppendOutcome appendToLog(platform::FileSystem& files, const std::string& defaultLog,
                          const std::string& text, std::string& file) noexcept {
    AppendOutcome outcome;
    try {
        const bool toDefaultLog = platform::isBlank(file);
        if (toDefaultLog) file = defaultLog;
        outcome.file = file;
        if (toDefaultLog) makeFolderOf(files, file);
        outcome.restarted = restartOversizedLog(files, file);
        const int fd = files.openForAppending(file);
        for (std::size_t done = 0; done < text.size() && outcome.problem.empty();) {
            const std::int64_t put = files.write(fd, text.data() + done, text.size() - done);
            if (put > 0) {
                done += static_cast<std::size_t>(put);
            } else {
                outcome.problem =
                    put < 0 ? platform::systemErrorText(int(-put)) : "nothing could be written";
            }
        }
        // The whole text was handed to the file: a failing close does not take
        // it back, and another log must not get it a second time.
        files.close(fd);
    } catch (const platform::Failure& failure) {
        // The log is the last resort: an entry that cannot be written is lost.
        outcome.problem = failure.reason();
    } catch (const std::exception& failure) {
        outcome.problem = failure.what();
    }
    outcome.written = outcome.problem.empty();
    return outcome;
}

}  // namespace vantrel::log
