#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "cli/progress_display.h"
#include "engine/job_events.h"

namespace vantrel::cli {

// "vantrel-cli: invalid source folder 'X': No such file or directory".
std::string invalidFolderMessage(engine::TextBox box, const std::string& folder,
                                 const std::string& reason);

// "[CopyFile] 05/03/2026 14:02:11; File: VIDEO_TS.IFO; cannot open ...": an
// error entry on one terminal line.
std::string entryLine(const log::Entry& entry);

// One file of the job, as it ended, with its entries as entryLine gives them.
struct FileRecord {
    engine::FileEnd end;
    std::vector<std::string> entries;
};

// What the terminal makes of a job as it runs: the progress display, each
// error entry echoed as one line, a refusal in words, and what the job and
// each of its files came to.
class JobReport final : public engine::JobObserver {
  public:
    explicit JobReport(ProgressDisplay& display) : m_display(display) {}

    // The display brought up to date with the current file's progress.
    void showProgress();

    // How the job ended; nothing before it has.
    const std::optional<engine::JobEnd>& end() const { return m_end; }
    // Whether entries were logged for the job itself and for its files.
    bool jobFailed() const { return m_jobFailed; }
    bool filesFailed() const { return m_filesFailed; }
    // The files the job is done with, in its order.
    const std::vector<FileRecord>& files() const { return m_fileRecords; }
    // The entries about no single file: the job's own, the clearing step's.
    const std::vector<std::string>& jobEntries() const { return m_jobEntries; }

    // A refusal, found by the job or before it could start, told in `line`
    // or, without one, in the job's own words.
    void refuse(const engine::JobEnd& end, const std::string& line = "");

    void jobStarted(const engine::JobStart& start) override;
    void fileStarted(const engine::FileStart& file) override;
    void bytesScanned(std::int64_t bytes) override { m_fileBytesDone = bytes; }
    void fileEnded(const engine::FileEnd& end) override;
    void entryLogged(const engine::LoggedEntry& entry) override;
    void jobEnded(const engine::JobEnd& end) override;

  private:
    ProgressDisplay& m_display;
    int m_filesStarted = 0;
    std::int64_t m_vobBytesBefore = 0;  // of the VOBs before the current file
    std::int64_t m_fileSize = 0;
    std::int64_t m_fileBytesDone = 0;
    bool m_fileIsVob = false;
    bool m_jobFailed = false;
    bool m_filesFailed = false;
    std::optional<engine::JobEnd> m_end;
    std::vector<FileRecord> m_fileRecords;
    std::map<std::string, std::vector<std::string>> m_fileEntries;  // of files not ended yet
    std::vector<std::string> m_jobEntries;
};

}  // namespace vantrel::cli
