#include "support/recording_observer.h"

namespace vantrel::testing {

void RecordingObserver::jobStarted(const engine::JobStart& start) {
    events.push_back({Kind::JobStarted, "", start});
}

void RecordingObserver::fileStarted(const engine::FileStart& file) {
    events.push_back({Kind::FileStarted, file.name, std::nullopt, file});
    m_fileUnderWay = true;
    m_progress = 0;
}

void RecordingObserver::bytesScanned(std::int64_t bytes) {
    const std::string at = "after event " + std::to_string(events.size()) + ": ";
    if (!m_fileUnderWay) m_progressProblems.push_back(at + "progress outside a file");
    if (bytes < m_progress) m_progressProblems.push_back(at + "the progress went back");
    m_progress = bytes;
}

void RecordingObserver::fileEnded(const engine::FileEnd& end) {
    events.push_back({Kind::FileEnded, end.name, std::nullopt, std::nullopt, end});
    m_fileUnderWay = false;
}

void RecordingObserver::entryLogged(const engine::LoggedEntry& entry) {
    events.push_back(
        {Kind::EntryLogged, entry.file, std::nullopt, std::nullopt, std::nullopt, entry});
}

void RecordingObserver::jobEnded(const engine::JobEnd& end) {
    events.push_back(
        {Kind::JobEnded, "", std::nullopt, std::nullopt, std::nullopt, std::nullopt, end});
}

std::vector<std::string> RecordingObserver::problems() const {
    std::vector<std::string> found = m_progressProblems;
    std::size_t first = 0;
    for (std::size_t i = 0; i < events.size(); ++i) {
        if (events[i].kind != Kind::JobEnded) continue;
        checkJob(first, i, found);
        first = i + 1;
    }
    if (first < events.size()) found.push_back("events after the last jobEnded");
    return found;
}

void RecordingObserver::checkJob(std::size_t first, std::size_t last,
                                 std::vector<std::string>& problems) const {
    const auto problem = [&](std::size_t at, const std::string& what) {
        problems.push_back("event " + std::to_string(at) + ": " + what);
    };
    const Event* file = nullptr;  // the file under way
    bool fileHadEntry = false, started = false;
    std::int64_t navPacks = 0, bytesRead = 0;
    int entries = 0;
    for (std::size_t at = first; at < last; ++at) {
        const Event& event = events[at];
        switch (event.kind) {
            case Kind::JobStarted:
                if (at != first) problem(at, "jobStarted is not the job's first event");
                started = true;
                break;
            case Kind::FileStarted:
                if (file != nullptr)
                    problem(at, event.file + " started before " + file->file + " ended");
                file = &event;
                fileHadEntry = false;
                break;
            case Kind::FileEnded:
                if (file == nullptr || file->file != event.file ||
                    file->fileStart->kind != event.fileEnd->kind) {
                    problem(at, event.file + " ended without being started");
                } else if ((event.fileEnd->outcome == engine::FileOutcome::Failed) !=
                           fileHadEntry) {
                    problem(at, event.file + (fileHadEntry ? " has an entry but did not fail"
                                                           : " failed without an entry"));
                }
                navPacks += event.fileEnd->navPacksWritten;
                bytesRead += event.fileEnd->bytesRead;
                file = nullptr;
                break;
            case Kind::EntryLogged:
                ++entries;
                if (event.file.empty()) break;
                if (file == nullptr || file->file != event.file) {
                    problem(at, "an entry about " + event.file + " while " +
                                    (file ? file->file : std::string("no file")) + " is under way");
                }
                fileHadEntry = true;
                break;
            case Kind::JobEnded:
                break;
        }
    }
    if (file != nullptr) problem(last, file->file + " never ended");
    const engine::JobEnd& end = *events[last].jobEnd;
    const bool ran =
        end.outcome == engine::JobOutcome::Done || end.outcome == engine::JobOutcome::Cancelled;
    if (ran && !started) problem(last, "a job that ran never told it started");
    if (end.outcome == engine::JobOutcome::Refused && last != first)
        problem(last, "a refused job told more than its end");
    if (end.tally.navPacksWritten != navPacks)
        problem(last, "the tally's NV_PCK sectors are not its files'");
    if (end.tally.bytesRead != bytesRead)
        problem(last, "the tally's bytes read are not its files'");
    if (end.tally.problems.entries() != entries)
        problem(last, "the tally's problems are not its entries");
}

}  // namespace vantrel::testing
