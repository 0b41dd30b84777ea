#include "cli/job_report.h"

#include <algorithm>

#include "cli/options.h"
#include "engine/vob_file_list.h"
#include "platform/paths.h"

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

JobReport::JobReport(platform::FileSystem& files, ProgressDisplay& display,
                     std::string sourceFolder)
    : m_files(files), m_display(display), m_sourceFolder(std::move(sourceFolder)) {}

// The VOBs are measured once, for the whole job's position and the time left.
void JobReport::jobStarted(std::int32_t fileTotal) {
    std::int64_t total = 0;
    try {
        engine::VobFileList vobs(m_files);
        vobs.setPath(m_sourceFolder);
        for (const std::string& name : vobs.names())
            total += m_files.fileLength(platform::joinPath(m_sourceFolder, name));
    } catch (const std::exception&) {
        // The job meets the same failure and logs it; the display does without.
    }
    m_display.jobStarted(fileTotal, total);
}

void JobReport::fileStarted(const std::string& name, std::int64_t size, engine::FileKind kind) {
    if (m_fileIsVob) m_vobBytesBefore += m_fileSize;
    m_fileIsVob = kind == engine::FileKind::Vob;
    m_fileSize = size;
    m_fileBytesDone = 0;
    m_display.fileStarted(++m_filesStarted, name);
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

void JobReport::jobEnded(const engine::JobEnd& end) {
    if (end.outcome == engine::JobOutcome::Refused) return refuse(end);
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
