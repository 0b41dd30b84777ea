#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "engine/controls.h"
#include "engine/job_events.h"
#include "engine/resolved_source.h"
#include "engine/services.h"
#include "log/entry_appender.h"
#include "log/error_entries.h"
#include "platform/binary_file.h"
#include "platform/call_worker.h"
#include "platform/folder_lock.h"
#include "platform/off_thread_file_system.h"

namespace vantrel::engine {

// Booleans as the window object keeps them: 16-bit, True is -1.
using VbBool = std::int16_t;
inline constexpr VbBool kTrue = -1;
inline constexpr VbBool kFalse = 0;

// The main window object: the job's state, every job procedure and every
// event handler. It reaches the window only through Controls.
//
// A job reads its source (opens, reads, measures and lists it) off the
// window's thread, through m_sourceFiles, while the window's thread pumps
// the window as the job's own pumps do: a disc that keeps a read for a
// minute never freezes the window. Exit during such a call gives it up at
// once: the job goes on as after a cancel at that point (the file stopped
// at the last whole sector examined), and the call goes on alone. The
// checks before a job (ValDir, CountFiles) and everything the job writes
// stay on the window's thread.
class frmMain {
  public:
    frmMain(Controls& window, Services& services);

    // Fields, shared between a running job and the handlers run by its pumps.
    VbBool bBusy = kFalse;         // an extraction job is running
    VbBool bCancel = kFalse;       // a cancel request is pending
    std::int32_t savedWidth = 0;   // outer width at load, twips
    std::int32_t savedHeight = 0;  // outer height at load, twips

    // Appends Msg to the log file File (empty: the default log, and File is set
    // to its path). Never fails.
    void WriteLog(const std::string& Msg, std::string& File) noexcept;
    VbBool ValDir();
    std::int32_t CountFiles();
    void CopyFile(const std::string& Fil);
    void CopyFiles();
    VbBool CopySector(platform::BinaryFile& fp, std::int64_t pos, platform::BinaryFile& out);
    void Process(const std::string& Fil);

    void cmdDir_Click(std::int16_t Index);
    // A folder or a disc image dropped on a folder box: its path replaces the
    // box's text, as a folder browsed to does (during a job, for the next one).
    void folderDropped(TextBox box, const std::string& path);
    void cmdExit_Click();
    void cmdGo_Click();
    // cmdGo_Click's checks alone, for a job that is only described: ValDir,
    // the destination's lock taken and let go at once (a folder another job
    // holds is refused as cmdGo_Click refuses it), then the census. Refused
    // as cmdGo_Click would be, Done when it would start a job; nothing is
    // changed, logged or told to the observer.
    JobEnd checkJob();
    void Form_Load();
    void Form_Resize();
    void Form_Unload();

    // True while a job runs: what a front end asks, rather than reading bBusy.
    bool jobRunning() const { return bBusy != kFalse; }
    // What the last job did.
    const JobTally& tally() const { return m_tally; }
    // The folder ValDir refused last, if it refused one.
    const std::optional<FolderRefusal>& refusal() const { return m_refusal; }
    // Where the next entry goes: chosen when the window object is made, and
    // moved to the user's state log once the log beside the program fails.
    const std::string& logFile() const { return m_log.path(); }
    // Told what every job does from now on; none when null. Not owned.
    void setObserver(JobObserver* observer) { m_observer = observer; }
    // The copy every job makes from now on: packed unless a front end asks
    // for a sparse one.
    void setCopyKind(CopyKind kind) { m_copyKind = kind; }
    // Asks a running job to stop at its next check, as Exit does, without
    // closing the window: for the system's end of a session.
    void cancelJob();

  private:
    log::AppendOutcome writeLog(const std::string& Msg, std::string& File) noexcept;
    // Appends an error entry, about the source file `file` if any: one
    // problem for the job's tally.
    void log(EntryKind kind, const log::Entry& entry, const std::string& file = {}) noexcept;
    // Appends the line that completes the entry before it.
    void logContinuation(const log::Entry& line, const std::string& file) noexcept;
    // Tells the observer, if there is one, what `event` tells it.
    template <typename Event>
    void tell(const Event& event) noexcept {
        if (m_observer == nullptr) return;
        try {
            event(*m_observer);
        } catch (...) {
            // What a front end makes of the job is its own affair.
        }
    }
    // What the window's thread does while a call into the source is in
    // flight (see CallWorker::Waiting): during a job, the window's events;
    // false once Exit (a cancel) asks for the call to be given up.
    bool keepWaiting();
    std::string timestamp() const;
    std::string text(TextBox box) { return m_window.text(box); }
    // The folder of `box` as the job works in it: while a job runs, the one
    // it validated and locked, whatever the box shows now (a folder browsed to
    // meanwhile is for the next job); otherwise the box's text, read now.
    std::string folder(TextBox box);
    // `name` in the folder of `box`.
    std::string pathIn(TextBox box, const std::string& name);
    void advance(Bar bar, float step) { m_window.setValue(bar, m_window.value(bar) + step); }
    // Opens the output of the source file `Fil`, read through `source`, and
    // remembers it as the running job's. Refused, and left untouched, when it
    // is the source itself or the output of an earlier name: two source names
    // can meet in one destination file (letter case, where the file system
    // ignores it).
    // Measures the source file `name` as its copy or scan begins, and tells
    // the observer it has started (without a size when it cannot be
    // measured, and the failure then goes on to the caller).
    std::int64_t startFile(const std::string& name, FileKind kind, FileEnd& end);
    void openOutput(
        platform::BinaryFile& output, const std::string& Fil, const platform::BinaryFile& source,
        platform::BinaryFile::WriteMode mode = platform::BinaryFile::WriteMode::Buffered);

    // Why a folder is refused: the reason a front end gives with the folder,
    // and a line the message box adds to its message, if any.
    struct FolderProblem {
        std::string reason;
        std::string explanation = {};
    };
    bool passesFolderTest(const std::string& folder);
    std::string refusalReason(const std::string& folder);
    // Why `box`'s folder cannot be the destination; nothing when it can.
    std::optional<FolderProblem> destinationProblem();
    void refuseFolder(TextBox box, const std::string& message, const FolderProblem& problem);
    void appendSeparatorIfMissing(TextBox box);
    void clearDestination();
    void copySideFiles(const char* pattern, std::string& lastListedName);
    void loadSettings(std::string& settingName);
    void saveSettings();
    std::uint16_t readWord(platform::BinaryFile& file, std::int64_t position, std::int64_t length);
    // Writes the sector the scan keeps at `pos` of its VOB where the copy wants it.
    void writeKeptSector(platform::BinaryFile& out, std::int64_t pos, const unsigned char* sector);
    JobEnd runJob();
    void completed(JobEnd& end);
    // ValDir, and on its success the two folders taken as the job's (the
    // source as resolved); the job's refusal otherwise.
    std::optional<JobEnd> takeFolders();
    // "No files (*.vob) for processing found!", and on a second line why,
    // when there is more to say (a file that is no disc image).
    JobEnd refuseWithoutDvdFiles(const std::string& explanation = "",
                                 const std::string& reason = "no DVD files");
    void startJob(std::int32_t fileTotal);
    void scanVobs();
    void flushDestination();
    void windDown();
    void alertDone();
    void returnToIdle() noexcept;

    Controls& m_window;
    Services& m_services;
    // The job's calls into its source, made on a worker thread of their own.
    platform::CallWorker m_sourceCalls;
    platform::OffThreadFileSystem m_sourceFiles;
    log::EntryAppender m_log;
    JobTally m_tally;
    std::optional<FolderRefusal> m_refusal;
    // Lent to each file a job reads and to each side-file copy's output in
    // turn: allocated once per job, not once per file.
    platform::IoBuffer m_readBuffer{platform::BinaryFile::kBufferSize};
    platform::IoBuffer m_writeBuffer{platform::BinaryFile::kBufferSize};
    // Held from validation to the wind-down: the destination is this job's alone.
    platform::FolderLock m_destinationLock;
    // The source as ValDir resolved it, for the job that called it.
    std::optional<ResolvedSource> m_source;
    // The folders a job validated, from ValDir's success to its end: the
    // source as resolved (a disc image held open while the job reads it).
    struct JobFolders {
        ResolvedSource source;
        std::string destination;
    };
    std::optional<JobFolders> m_jobFolders;
    // The outputs the running job has opened, by the identity of their files:
    // the source name each was made for.
    std::map<platform::FileIdentity, std::string> m_outputs;
    bool m_closeWhenJobEnds = false;
    std::string m_alertShown;  // what the last job's alert said
    JobObserver* m_observer = nullptr;
    CopyKind m_copyKind = CopyKind::Packed;
    // An entry that waits for the line that completes it.
    std::optional<LoggedEntry> m_openEntry;
};

// Why `folder` is not a folder whose entries can be listed, as the system says
// it ("No such file or directory", "Not a directory", "Permission denied") or
// "the name is blank"; empty when it is one.
std::string folderProblem(platform::FileSystem& files, const std::string& folder);

// A bar's value as the status bar shows it ("5", not "5.0").
std::string barValueText(float value);

// What became of a job's error entries: "3 problems were written to LOG.",
// and how many could not be written anywhere, and why.
std::string problemsReport(const log::LogTally& problems);

}  // namespace vantrel::engine
