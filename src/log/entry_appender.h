#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "log/log_file.h"
#include "platform/file_system.h"

namespace vantrel::log {

// The entries of a job one log file took.
struct LogFileTally {
    std::string file;
    int entries = 0;
    // Of those, the ones it still holds: all of them, unless the file was
    // started afresh (past its size limit) after some of them.
    int held = 0;
    friend bool operator==(const LogFileTally&, const LogFileTally&) = default;
};

// Where the entries of a job went, for what it tells the user at its end.
struct LogTally {
    // The files that took entries, in the order they first did.
    std::vector<LogFileTally> written;
    int unwritten = 0;
    AppendOutcome lastRefusal;  // the last entry no file took: which file refused it, and why

    void record(const AppendOutcome& outcome);
    // The line that completes an entry, appended on its own: a log it starts
    // afresh no longer holds the entry's beginning.
    void recordContinuation(const AppendOutcome& outcome);
    int entries() const;
};

// Appends a program run's entries to its log. Entries go to the default log
// (see defaultLogFile); once an append to a log beside the program fails (its
// disk is full, it turned read-only), that entry and every later one go to the
// user's state log instead, where an installed program logs.
class EntryAppender {
  public:
    EntryAppender(platform::FileSystem& files, const std::string& programFolder);

    // Where the next entry goes.
    const std::string& path() const { return m_path; }
    AppendOutcome append(const std::string& text) noexcept;

  private:
    platform::FileSystem& m_files;
    std::string m_path;
    std::optional<std::string> m_fallback;  // none once taken, or when the log is there already
};

}  // namespace vantrel::log
