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
// from the log's text or the controls' values.

enum class FileKind { SideFile, Vob };

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
};

// Told what a job does, as it does it. Every call comes on the window's
// thread, from inside the job; none may throw.
class JobObserver {
  public:
    virtual ~JobObserver() = default;

    // The inputs are locked and the bars shown; `fileTotal` DVD files were counted.
    virtual void jobStarted(std::int32_t fileTotal) = 0;
    // A side file is about to be copied, or a VOB scanned; `size` was measured now.
    virtual void fileStarted(const std::string& name, std::int64_t size, FileKind kind) = 0;
    // How much of the file started last has been read so far: at every block
    // of a side file, at every sector of a VOB.
    virtual void bytesScanned(std::int64_t bytes) = 0;
    // A side file or VOB is done with, however it went: also one that failed
    // before it could be started, after its entry.
    virtual void fileEnded(const FileEnd& end) = 0;
    virtual void entryLogged(const LoggedEntry& entry) = 0;
    // The handler has finished: the window is idle again, or the job was refused.
    virtual void jobEnded(const JobEnd& end) = 0;
};

}  // namespace vantrel::engine
