#include "log/error_log.h"

#include "log/log_file.h"
#include "platform/paths.h"

namespace vantrel::log {

void LogTally::record(const AppendOutcome& outcome) {
    if (!outcome.written) {
        ++unwritten;
        lastRefusal = outcome;
        return;
    }
    for (auto& [file, count] : written) {
        if (file == outcome.file) {
            ++count;
            return;
        }
    }
    written.emplace_back(outcome.file, 1);
}

int LogTally::entries() const {
    int count = unwritten;
    for (const auto& file : written) count += file.second;
    return count;
}

ErrorLog::ErrorLog(platform::FileSystem& files, const std::string& programFolder)
    : m_files(files), m_path(defaultLogFile(files, programFolder)) {
    std::string userLog;
    try {
        userLog = platform::joinPath(platform::userStateFolder(), kLogFileName);
    } catch (...) {
        // No folder of the user's to fall back to.
    }
    if (!userLog.empty() && userLog != m_path) m_fallback = userLog;
}

AppendOutcome ErrorLog::append(const std::string& text) noexcept {
    std::string file;  // the default log
    std::optional<std::string> problem = appendToLog(m_files, m_path, text, file);
    if (problem && m_fallback) {
        m_path = *m_fallback;
        m_fallback.reset();
        file.clear();
        problem = appendToLog(m_files, m_path, text, file);
    }
    return {!problem, file, problem.value_or("")};
}

}  // namespace vantrel::log
