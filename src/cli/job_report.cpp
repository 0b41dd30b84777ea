#include "cli/job_report.h"

#include <algorithm>

#include "cli/options.h"

namespace vantrel::cli {

std::string invalidFolderMessage(engine::TextBox box, const std::string& folder,
                                 const std::string& reason) {
    const char* role = box == engine::TextBox::txtVobDir ? "source" : "destination";
    return std::string(kProgramName) + ": invalid " + role + " folder '" + folder + "': " + reason;
}

// The header, a space, then the entry's other lines joined by "; "; empty lines left out.
std::string entryLine(const log::Entry& entry) {
    std::string line = entry.step.empty() ? "" : "[" + entry.step + "]";
    bool afterHeader = !line.empty();
    for (const std::string& part : entry.lines) {
        if (part.empty()) continue;
        if (!line.empty()) line += afterHeader ? " " : "; ";
        line += part;
        afterHeader = false;
    }
    return line;
}

// The VOBs' bytes give the whole job's position and the time left.
void JobReport::jobStarted(const engine::JobStart& start) {
    m_display.jobStarted(start.fileTotal, start.vobBytes);
}

void JobReport::fileStarted(const engine::FileStart& file) {
    if (m_fileIsVob) m_vobBytesBefore += m_fileSize;
    m_fileIsVob = file.kind == engine::FileKind::Vob;
    m_fileSize = file.size.value_or(0);
    m_fileBytesDone = 0;
    m_display.fileStarted(++m_filesStarted, file.name);
}

void JobReport::showProgress() {
    const double share =
        m_fileSize > 0 ? double(std::min(m_fileBytesDone, m_fileSize)) / double(m_fileSize) : 1.0;
    m_display.progress(share, m_vobBytesBefore + (m_fileIsVob ? m_fileBytesDone : 0));
}

void JobReport::entryLogged(const engine::LoggedEntry& logged) {
    m_jobFailed |= logged.kind == engine::EntryKind::JobFailure;
    m_filesFailed |= logged.kind == engine::EntryKind::FileFailure;
    const std::string line = entryLine(logged.entry);
    (logged.file.empty() ? m_jobEntries : m_fileEntries[logged.file]).push_back(line);
    m_display.message(std::string(kProgramName) + ": " + line);
}

void JobReport::fileEnded(const engine::FileEnd& end) {
    const auto entries = m_fileEntries.find(end.name);
    m_fileRecords.push_back({end, {}});
    if (entries == m_fileEntries.end()) return;
    m_fileRecords.back().entries = std::move(entries->second);
    m_fileEntries.erase(entries);
}

// A terminal has no message boxes: what one said reaches it here.
void JobReport::jobEnded(const engine::JobEnd& end) {
    if (end.outcome == engine::JobOutcome::Refused) return refuse(end);
    // The alert's lines one by one: a message shows no line break.
    for (std::size_t start = 0; start < end.alert.size();) {
        const std::size_t stop = std::min(end.alert.find('\n', start), end.alert.size());
        m_display.message(end.alert.substr(start, stop - start));
        start = stop + 1;
    }
    m_end = end;
}

void JobReport::refuse(const engine::JobEnd& end, const std::string& line) {
    m_end = end;
    if (!line.empty()) return m_display.message(line);
    const engine::FolderRefusal& refusal = *end.refusal;
    m_display.message(
        end.noDvdFiles ? std::string(kProgramName) +
                             ": no files (*.vob) for processing found in '" + refusal.folder + "'"
                       : invalidFolderMessage(refusal.box, refusal.folder, refusal.reason));
}

}  // namespace vantrel::cli
