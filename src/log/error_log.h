#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/file_system.h"

namespace vantrel::log {

// Where one entry went: the file it reached, or the file that refused it and why.
struct AppendOutcome {
    bool written = false;
    std::string file;
    std::string problem;  // why it was not written ("Permission denied")
};

// Where the entries of a job went, for what it tells the user at its end.
struct LogTally {
    // The files that took entries, in the order they first did, with how many.
    std::vector<std::pair<std::string, int>> written;
    int unwritten = 0;
    AppendOutcome lastRefusal;  // the last entry no file took: which file refused it, and why

    void record(const AppendOutcome& outcome);
    int entries() const;
};

// The log a program run appends its entries to. Entries go to the default log
// (see defaultLogFile); once an append to a log beside the program fails (its
// disk is full, it turned read-only), that entry and every later one go to the
// user's state log instead, where an installed program logs.
class ErrorLog {
  public:
    ErrorLog(platform::FileSystem& files, const std::string& programFolder);

    // Where the next entry goes.
    const std::string& path() const { return m_path; }
    AppendOutcome append(const std::string& text) noexcept;

  private:
    platform::FileSystem& m_files;
    std::string m_path;
    std::optional<std::string> m_fallback;  // none once taken, or when the log is there already
};

}  // namespace vantrel::log
