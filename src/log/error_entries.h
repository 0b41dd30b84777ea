#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/clock.h"

namespace vantrel::log {

// An error entry, line by line: its header names the failing step
// ("[CopyFile]"), the lines after it say when, where and what. As the log
// holds it, every line ends in CR LF and a complete entry in a blank line; a
// [CopySector] entry is not complete until Process adds the "File:" line, a
// continuation without a header of its own.
struct Entry {
    std::string step;                // "CopyFile"; empty for a continuation
    std::vector<std::string> lines;  // after the header
    bool complete = true;            // ends in its blank line

    // The entry's bytes in the log.
    std::string text() const;
};

// The error entries, one function per writer.

// "dd/mm/yyyy hh:MM:ss" with the locale's separators.
std::string formatTimestamp(const platform::LocalTime& time,
                            const platform::DateTimeSeparators& separators);

Entry copyFileEntry(const std::string& timestamp, const std::string& fileName,
                    const std::string& description);
// `lastListedName` is empty during the clearing step and once a listing has run out.
Entry copyFilesEntry(const std::string& timestamp, const std::string& lastListedName,
                     const std::string& description);
// No blank line: Process adds its own "File:" line right after it.
Entry copySectorEntry(const std::string& timestamp, std::int64_t position,
                      const std::string& description);
// What Process appends after a sector copy has failed.
Entry processSectorFileLine(const std::string& fileName);
Entry processEntry(const std::string& timestamp, const std::string& fileName,
                   const std::string& description);
Entry cmdGoClickEntry(const std::string& timestamp, const std::string& description);
// `settingName` is the setting being loaded, empty while the window size is captured.
Entry formLoadEntry(const std::string& timestamp, const std::string& description,
                    const std::string& settingName);
Entry formUnloadEntry(const std::string& timestamp, const std::string& description);

// A file name as the log writes it: each control character (a line break, an
// escape) as "\x" and its two hexadecimal digits, so that no name can break
// the log's lines or pass for something else. Printable names stay as they are.
std::string escaped(const std::string& text);

// A failure's description as one line: line breaks become spaces, other
// control characters are escaped as in names.
std::string oneLine(const std::string& description);

}  // namespace vantrel::log
