#include "log/error_entries.h"

#include <cstdio>

#include "dvd/dvd_format.h"

namespace vantrel::log {
namespace {

constexpr const char* kEndOfLine = "\r\n";

std::string line(const std::string& text) { return text + kEndOfLine; }

std::string twoDigits(int value) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%02d", value);
    return digits;
}

// Header, timestamp, the given middle lines, description, blank line.
std::string entry(const std::string& header, const std::string& timestamp,
                  const std::string& middle, const std::string& description,
                  const std::string& tail) {
    return line("[" + header + "]") + line(timestamp) + middle + line(oneLine(description)) + tail +
           kEndOfLine;
}

}  // namespace

std::string oneLine(const std::string& description) {
    std::string result = description;
    for (char& c : result) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return result;
}

std::string formatTimestamp(const platform::LocalTime& time,
                            const platform::DateTimeSeparators& separators) {
    return twoDigits(time.day) + separators.date + twoDigits(time.month) + separators.date +
           std::to_string(time.year) + " " + twoDigits(time.hour) + separators.time +
           twoDigits(time.minute) + separators.time + twoDigits(time.second);
}

std::string copyFileEntry(const std::string& timestamp, const std::string& fileName,
                          const std::string& description) {
    return entry("CopyFile", timestamp, line("File: " + fileName), description, "");
}

std::string copyFilesEntry(const std::string& timestamp, const std::string& lastListedName,
                           const std::string& description) {
    return entry("CopyFiles", timestamp, line("File: " + lastListedName), description, "");
}

std::string copySectorEntry(const std::string& timestamp, std::int64_t position,
                            const std::string& description) {
    return line("[CopySector]") + line(timestamp) +
           line("Sector: " + std::to_string(position / dvd::kSectorSize) +
                " Position: " + std::to_string(position)) +
           line(oneLine(description));
}

std::string processSectorFileLine(const std::string& fileName) {
    return line("File: " + fileName) + kEndOfLine;
}

std::string processEntry(const std::string& timestamp, const std::string& fileName,
                         const std::string& description) {
    return entry("Process", timestamp, line("File: " + fileName), description, "");
}

std::string cmdGoClickEntry(const std::string& timestamp, const std::string& description) {
    return entry("cmdGo_Click", timestamp, "", description, "");
}

std::string formLoadEntry(const std::string& timestamp, const std::string& description,
                          const std::string& settingName) {
    return entry("Form_Load", timestamp, "", description, line(settingName));
}

std::string formUnloadEntry(const std::string& timestamp, const std::string& description) {
    return entry("Form_UnLoad", timestamp, "", description, "");
}

}  // namespace vantrel::log
