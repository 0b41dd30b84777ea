#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/job_events.h"

namespace vantrel::testing {

// Keeps every event a job tells, and checks them against what every front end
// relies on.
class RecordingObserver final : public engine::JobObserver {
  public:
    // Progress is not kept, there being one for every sector: it is checked
    // as it comes.
    enum class Kind { JobStarted, FileStarted, FileEnded, EntryLogged, JobEnded };
    struct Event {
        Kind kind;
        std::string file;  // the file it is about, if any
        std::optional<engine::JobStart> start = {};
        std::optional<engine::FileStart> fileStart = {};
        std::optional<engine::FileEnd> fileEnd = {};
        std::optional<engine::LoggedEntry> entry = {};
        std::optional<engine::JobEnd> jobEnd = {};
    };

    void jobStarted(const engine::JobStart& start) override;
    void fileStarted(const engine::FileStart& file) override;
    void bytesScanned(std::int64_t bytes) override;
    void fileEnded(const engine::FileEnd& end) override;
    void entryLogged(const engine::LoggedEntry& entry) override;
    void jobEnded(const engine::JobEnd& end) override;

    // What the events of the jobs so far break, one line each; none when:
    // - a job that started tells it first, and every job ends last, once;
    // - every file is started once and ended once, in turn, with its
    //   progress in between never going back;
    // - an entry about a file comes while that file is under way, and a file
    //   fails exactly when it has an entry;
    // - the end's tally adds up the files' ends and counts the entries.
    std::vector<std::string> problems() const;

    std::vector<Event> events;

  private:
    bool m_fileUnderWay = false;
    std::int64_t m_progress = 0;
    std::vector<std::string> m_progressProblems;
    void checkJob(std::size_t first, std::size_t last, std::vector<std::string>& problems) const;
};

}  // namespace vantrel::testing
