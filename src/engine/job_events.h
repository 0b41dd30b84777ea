#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "engine/controls.h"
#include "log/entry_appender.h"
#include "log/error_entries.h"

namespace vantrel::engine {

// What a job tells a front end as it goes, beside what it shows in the
// window's controls: a terminal, a script's summary, learn it here rather than
// from the log's text, the controls' values or the window object's state. A
// front end is told everything it reports and asks nothing.

enum class FileKind { SideFile, Vob };

// Where a job writes the sectors it keeps of each VOB.
enum class CopyKind {
    // One after another, in a file of their own (the window's copy).
    Packed,
    // Each at its own offset in a file of the VOB's length, holes elsewhere:
    // every sector address of the disc's IFOs and NV_PCKs leads to the same
    // sector in the copy as in the disc.
    Sparse,
};

// What the job's census found when it locked the inputs.
struct JobStart {
    std::int32_t fileTotal = 0;      // the DVD files counted
    std::int64_t sideFileBytes = 0;  // of the side files to copy, as measured then
    std::int64_t vobBytes = 0;       // of the VOBs to scan, as measured then
};

// A side file about to be copied, or a VOB about to be scanned: nothing of it
// has been opened yet.
struct FileStart {
    std::string name;
    FileKind kind;
    // Measured now; none when it cannot be, and the file then fails.
    std::optional<std::int64_t> size = {};
};

// What a job has done so far: what happened, not what was meant to.
struct JobTally {
    int sideFilesCopied = 0;           // copied whole
    int vobsScanned = 0;               // scanned to their end
    std::int64_t navPacksWritten = 0;  // packets that reached their output
    std::int64_t bytesRead = 0;        // of the sources, by files done, cancelled or failed
    std::int64_t bytesWritten = 0;
    log::LogTally problems;  // the error entries it made, and where they went
};

// What an error entry is about: the job itself, which stopped ([cmdGo_Click]);
// one file or step of it, after which the job went on ([CopyFile],
// [CopyFiles], [CopySector] with its File: line, [Process]); or the window's
// settings ([Form_Load], [Form_UnLoad]).
enum class EntryKind { JobFailure, FileFailure, LoadOrSave };

struct LoggedEntry {
    EntryKind kind;
    log::Entry entry;            // whole, with the line that completed it
    log::AppendOutcome written;  // where it went, or why it went nowhere
    // The source file it is about ([CopyFile], [CopySector], [Process]);
    // empty for the job, a step of it ([CopyFiles]) or the settings.
    std::string file;
};

// What became of one file of a job.
enum class FileOutcome {
    Done,     // copied whole, or scanned to its end, without an entry
    Stopped,  // Exit stopped it part way; its output holds what was done
    Failed,   // an entry was logged for it; its output is missing or incomplete
};

struct FileEnd {
    std::string name;
    FileKind kind;
    // Its length when its copy or scan began; none when it could not be measured.
    std::optional<std::int64_t> size;
    std::int64_t bytesRead = 0;
    std::int64_t navPacksWritten = 0;  // NV_PCK sectors that reached its output (a VOB's)
    FileOutcome outcome = FileOutcome::Failed;
};

// Why ValDir refused a folder, for front ends that can say more than its message box.
struct FolderRefusal {
    TextBox box;
    std::string folder;
    std::string reason;  // "No such file or directory", "it is the source folder", ...
};

enum class JobOutcome {
    Done,       // ran to its end
    Cancelled,  // Exit stopped it; it wound down
    Failed,     // stopped by a failure of its own steps ([cmdGo_Click])
    Refused,    // touched nothing: a folder was refused, or the source held no DVD file
};

struct JobEnd {
    JobOutcome outcome = JobOutcome::Done;
    // What a refused job was refused for: the folder ValDir refused, or the
    // source folder when it held no DVD file.
    std::optional<FolderRefusal> refusal;
    bool noDvdFiles = false;
    // The folders the job worked in, as it checked them (ending in the
    // separator); for a refused job, the boxes' texts.
    std::string source = {}, destination = {};
    CopyKind copy = CopyKind::Packed;  // the copy it wrote, or was to write
    JobTally tally = {};
    // Where the next entry goes: the log the job's entries went to last.
    std::string logFile = {};
    // What the wind-down's alert said ("Done with coping!" and what follows
    // it); empty when the alert is off or the job did not wind down.
    std::string alert = {};
};

// Told what a job does, as it does it. Every call comes on the window's
// thread, from inside the job; none may throw.
class JobObserver {
  public:
    virtual ~JobObserver() = default;

    // The inputs are locked and the bars shown.
    virtual void jobStarted(const JobStart& start) = 0;
    // Comes for every file of the job, before anything of it is opened.
    virtual void fileStarted(const FileStart& file) = 0;
    // How much of the file started last has been read so far: at every block
    // of a side file, at every sector of a VOB.
    virtual void bytesScanned(std::int64_t bytes) = 0;
    // A side file or VOB is done with, however it went: also one that failed
    // before it could be started, after its entry.
    virtual void fileEnded(const FileEnd& end) = 0;
    virtual void entryLogged(const LoggedEntry& entry) = 0;
    // The handler has finished: the window is idle again, or the job was
    // refused. Always the last event of a job, and the only one of a refused job.
    virtual void jobEnded(const JobEnd& end) = 0;
};

}  // namespace vantrel::engine
