#include "log/entry_appender.h"

#include <algorithm>

#include "log/log_file.h"
#include "platform/paths.h"

namespace vantrel::log {

void LogTally::record(const AppendOutcome& outcome) {
    if (!outcome.written) {
        ++unwritten;
        lastRefusal = outcome;
        return;
    }
    auto file = std::find_if(written.begin(), written.end(),
                             [&](const LogFileTally& tally) { return tally.file == outcome.file; });
    if (file == written.end()) file = written.insert(file, LogFileTally{outcome.file});
    ++file->entries;
    file->held = outcome.restarted ? 1 : file->held + 1;
}

void LogTally::recordContinuation(const AppendOutcome& outcome) {
    if (!outcome.restarted) return;
    for (LogFileTally& file : written) {
        if (file.file == outcome.file) file.held = 0;
    }
}

int LogTally::entries() const {
    int count = unwritten;
    for (const LogFileTally& file : written) count += file.entries;
    return count;
}

EntryAppender::EntryAppender(platform::FileSystem& files, const std::string& programFolder)
    : m_files(files), m_path(defaultLogFile(files, programFolder)) {
    std::string userLog;
    try {
        userLog = platform::joinPath(platform::userStateFolder(), kLogFileName);
    } catch (...) {
        // No folder of the user's to fall back to.
    }
    if (!userLog.empty() && userLog != m_path) m_fallback = userLog;
}

AppendOutcome EntryAppender::append(const std::string& text) noexcept {
    std::string file;  // the default log
    AppendOutcome outcome = appendToLog(m_files, m_path, text, file);
    if (!outcome.written && m_fallback) {
        m_path = *m_fallback;
        m_fallback.reset();
        file.clear();
        outcome = appendToLog(m_files, m_path, text, file);
    }
    return outcome;
}

}  // namespace vantrel::log
