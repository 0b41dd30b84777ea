#pragma once

#include <cstdint>
#include <string>

#include "platform/clock.h"

namespace vantrel::log {

// The texts of the error entries, one function per writer. Every line ends in
// CR LF; an entry ends in a blank line unless it says otherwise.

// "dd/mm/yyyy hh:MM:ss" with the locale's separators.
std::string formatTimestamp(const platform::LocalTime& time,
                            const platform::DateTimeSeparators& separators);

std::string copyFileEntry(const std::string& timestamp, const std::string& fileName,
                          const std::string& description);
// `lastListedName` is empty during the clearing step and once a listing has run out.
std::string copyFilesEntry(const std::string& timestamp, const std::string& lastListedName,
                           const std::string& description);
// No blank line: Process adds its own "File:" line right after it.
std::string copySectorEntry(const std::string& timestamp, std::int64_t position,
                            const std::string& description);
// What Process appends after a sector copy has failed.
std::string processSectorFileLine(const std::string& fileName);
std::string processEntry(const std::string& timestamp, const std::string& fileName,
                         const std::string& description);
std::string cmdGoClickEntry(const std::string& timestamp, const std::string& description);
// `settingName` is the setting being loaded, empty while the window size is captured.
std::string formLoadEntry(const std::string& timestamp, const std::string& description,
                          const std::string& settingName);
std::string formUnloadEntry(const std::string& timestamp, const std::string& description);

// A failure's description as one line: line breaks become spaces.
std::string oneLine(const std::string& description);

}  // namespace vantrel::log
