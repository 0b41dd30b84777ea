// The job under every single failure of the file system, in the manner of
// SQLite's fault simulation: a whole job runs once for each call it makes
// through FileSystem, and on run N its N-th call fails as that call can fail.
// Whatever fails, nothing is lost, hidden, multiplied or damaged.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "dvd/nav_pack.h"
#include "platform/dir_listing.h"
#include "platform/paths.h"
#include "support/dvd_generator.h"
#include "support/recording_observer.h"
#include "support/scoped_env.h"
#include "support/test_bed.h"

namespace vantrel::testing {
namespace {

using engine::TextBox;

// Each operation of FileSystem and the error the loop fails it with: one that
// call can really return. A call missing here fails the test.
const std::map<std::string, int> kErrorOf = {{"openForReading", kNoSuchFile},
                                             {"openForWriting", kAccessDenied},
                                             {"openForAppending", kAccessDenied},
                                             {"readAt", kIoError},
                                             {"write", kDiskFull},
                                             {"writeAt", kDiskFull},
                                             {"truncate", kIoError},
                                             {"makeSparse", kDiskFull},
                                             {"statusOf", kIoError},
                                             {"close", kIoError},
                                             {"flushFile", kIoError},
                                             {"flushFolder", kIoError},
                                             {"lockFolder", kAccessDenied},
                                             {"fileLength", kNoSuchFile},
                                             {"kindOf", kAccessDenied},
                                             {"readFolder", kIoError},
                                             {"folderError", kAccessDenied},
                                             {"lookUp", kAccessDenied},
                                             {"removeFile", kAccessDenied},
                                             {"createFolders", kAccessDenied},
                                             {"isWritable", kAccessDenied},
                                             {"fillsHoles", kAccessDenied},
                                             {"isSameEntry", kIoError}};

// What a job left behind.
struct Outcome {
    std::map<std::string, Bytes> outputs;  // the destination's files, by name
    std::string log;
    std::string userLog;  // the state folder's, where entries go once the log above fails
    engine::JobTally tally;
    std::optional<FaultyFileSystem::Call> failed;
    long calls = 0;
    bool refused = false;  // the window said "Invalid Destination Dir!" (or "Invalid Vob Dir!")
};

std::map<std::string, Bytes> filesIn(MemoryFileSystem& disk, const std::string& folder) {
    std::map<std::string, Bytes> files;
    for (const std::string& name : disk.namesIn(folder)) {
        const std::string path = folder + kSep + name;
        if (disk.kindOf(path) == platform::EntryKind::PlainFile) files[name] = disk.readFile(path);
    }
    return files;
}

// A log's entries, each with its continuation: an entry ends in a blank line.
std::vector<std::string> entriesOf(const std::string& log) {
    std::vector<std::string> entries;
    for (std::size_t at = 0; at < log.size();) {
        const std::size_t end = log.find("\r\n\r\n", at);
        entries.push_back(log.substr(at, end == std::string::npos ? end : end + 4 - at));
        at = end == std::string::npos ? log.size() : end + 4;
    }
    return entries;
}

// True when `output` is whole sectors of `packets`, in their order, some perhaps missing.
bool isSubsequenceOfSectors(const Bytes& output, const Bytes& packets) {
    if (output.size() % kSector != 0) return false;
    std::size_t next = 0;
    for (std::size_t at = 0; at < output.size(); at += kSector) {
        const auto sector = output.begin() + std::ptrdiff_t(at);
        while (next < packets.size() && !std::equal(sector, sector + std::ptrdiff_t(kSector),
                                                    packets.begin() + std::ptrdiff_t(next)))
            next += kSector;
        if (next >= packets.size()) return false;
        next += kSector;
    }
    return true;
}

// True when `output` is a sparse copy of `vob` as far as it goes: as long as
// `vob` (or empty, when it failed before it got its length), each sector
// either the sector of `vob` at its offset, one the scanner keeps, or a hole.
bool isSparseCopyWithHoles(const Bytes& output, const Bytes& vob) {
    if (output.empty()) return true;
    if (output.size() != vob.size()) return false;
    for (std::size_t at = 0; at < output.size(); at += kSector) {
        const Bytes sector = sectors(output, at / kSector, 1);
        const bool kept =
            dvd::keptByScannerRule(sector.data()) && sector == sectors(vob, at / kSector, 1);
        if (sector != Bytes(kSector, 0) && !kept) return false;
    }
    return true;
}

std::int64_t sectorsWritten(const Bytes& output, engine::CopyKind copy) {
    if (copy == engine::CopyKind::Packed) return std::int64_t(output.size() / kSector);
    std::int64_t written = 0;
    for (std::size_t at = 0; at < output.size(); at += kSector)
        written += sectors(output, at / kSector, 1) != Bytes(kSector, 0);
    return written;
}

// What a whole sparse copy of `vob` is: its kept sectors where it has them, holes elsewhere.
Bytes sparseCopy(const Bytes& vob) {
    Bytes copy(vob.size(), 0);
    for (std::size_t at = 0; at < vob.size(); at += kSector) {
        if (dvd::keptByScannerRule(vob.data() + at))
            std::copy_n(vob.begin() + std::ptrdiff_t(at), kSector,
                        copy.begin() + std::ptrdiff_t(at));
    }
    return copy;
}

bool isVob(const std::string& name) { return platform::matchesWildcard(name, "*.vob"); }

// The loop runs for each kind of copy.
class FaultLoop : public ::testing::TestWithParam<engine::CopyKind> {
  protected:
    std::string source() const { return temp / "src"; }
    std::string destination() const { return temp / "dst"; }
    std::string logPath() const { return temp / "Vantrel.log"; }
    std::string userLogPath() const {
        return platform::joinPath(platform::userStateFolder(), "Vantrel.log");
    }

    // A DVD folder with two title sets and a VOB longer than one read-ahead;
    // a destination with a stale output to clear (an earlier sparse copy's:
    // an NV_PCK and a hole) and a folder where a side file must go, whose
    // entry every run writes: so the log's own calls are among those that fail.
    void SetUp() override {
        MemoryFileSystem disk;
        makeDvdFolder(
            [&](const std::string& path, const Bytes& content) { disk.writeFile(path, content); },
            source(), 2, 12, 2);
        disk.writeFile(source() + kSep + "VTS_02_3.VOB", makeVob(160, 50, 7));
        sources = filesIn(disk, source());
    }

    void makeFolders(MemoryFileSystem& disk) const {
        for (const auto& [name, content] : sources) disk.writeFile(source() + kSep + name, content);
        disk.makeFolder(destination() + kSep + "VTS_02_0.BUP");
        Bytes stale = makeNavPack(0);
        stale.resize(2 * kSector, 0);
        disk.writeFile(destination() + kSep + "VTS_09_1.VOB", stale);
    }

    Outcome runJob(long failCall) {
        MemoryFileSystem disk;
        makeFolders(disk);
        FaultyFileSystem files(disk);
        FixedClock clock;
        engine::Services services{files, clock, temp.path()};
        HeadlessWindow window(files);
        engine::frmMain form(window, services);
        RecordingObserver events;
        form.setObserver(&events);
        form.setCopyKind(GetParam());
        window.texts[TextBox::txtVobDir] = source();
        window.texts[TextBox::txtDest] = destination();
        window.alert = engine::kChecked;
        files.callErrors = kErrorOf;
        files.calls = 0;
        files.failCall = failCall;
        form.cmdGo_Click();

        EXPECT_EQ(form.bBusy, engine::kFalse);
        EXPECT_EQ(form.bCancel, engine::kFalse);
        for (const bool visible : window.barsVisible) EXPECT_FALSE(visible);
        for (const auto& [input, enabled] : window.enabled) EXPECT_TRUE(enabled);
        EXPECT_EQ(window.pointer, engine::MousePointer::Default);
        EXPECT_EQ(window.panels, (std::array<std::string, 3>{})) << "the panels cleared";
        EXPECT_EQ(files.openFiles(), 0u) << "a file left open";
        EXPECT_EQ(events.problems(), std::vector<std::string>{}) << "what the job told";
        for (const auto& [name, content] : sources)
            EXPECT_TRUE(disk.holds(source() + kSep + name, content)) << name << " changed";
        const auto textOf = [&](const std::string& path) {
            return disk.exists(path) ? disk.readText(path) : "";
        };
        const bool refused = std::any_of(
            window.messages.begin(), window.messages.end(),
            [](const auto& message) { return message.prompt.rfind("Invalid ", 0) == 0; });
        return {filesIn(disk, destination()),
                textOf(logPath()),
                textOf(userLogPath()),
                form.tally(),
                files.failedCall,
                files.calls,
                refused};
    }

    // Every output holds what its source gave, in its order: a side file's
    // first bytes, a VOB's packets; the tally counts what is on disk.
    void expectSoundOutputs(const Outcome& run) {
        const std::string affected =
            run.failed ? run.failed->path.substr(run.failed->path.rfind(kSep) + 1) : "";
        int completeSides = 0, completeVobs = 0;
        std::int64_t packets = 0;
        for (const auto& [name, output] : run.outputs) {
            if (name == "VTS_09_1.VOB") continue;  // stale, where the clearing step failed
            ASSERT_TRUE(sources.count(name)) << name;
            const Bytes& source = sources.at(name);
            const bool sparse = GetParam() == engine::CopyKind::Sparse;
            const Bytes whole = !isVob(name) ? source
                                : sparse     ? sparseCopy(source)
                                             : expectedNavPacks(source);
            if (isVob(name)) {
                EXPECT_TRUE(sparse ? isSparseCopyWithHoles(output, source)
                                   : isSubsequenceOfSectors(output, whole))
                    << name;
                packets += sectorsWritten(output, GetParam());
            } else {
                EXPECT_TRUE(std::equal(output.begin(), output.end(), source.begin()) &&
                            output.size() <= source.size())
                    << name;
            }
            if (output == whole && name != affected) ++(isVob(name) ? completeVobs : completeSides);
        }
        EXPECT_EQ(run.tally.navPacksWritten, packets);
        const bool vobAffected = sources.count(affected) && isVob(affected);
        const bool sideAffected = sources.count(affected) && !isVob(affected);
        EXPECT_GE(run.tally.vobsScanned, completeVobs);
        EXPECT_LE(run.tally.vobsScanned, completeVobs + int(vobAffected));
        EXPECT_GE(run.tally.sideFilesCopied, completeSides);
        EXPECT_LE(run.tally.sideFilesCopied, completeSides + int(sideAffected));
    }

    static void expectSameAs(const Outcome& run, const Outcome& clean) {
        EXPECT_EQ(run.outputs, clean.outputs);
        EXPECT_EQ(run.log, clean.log);
        EXPECT_EQ(run.tally.sideFilesCopied, clean.tally.sideFilesCopied);
        EXPECT_EQ(run.tally.vobsScanned, clean.tally.vobsScanned);
        EXPECT_EQ(run.tally.bytesRead, clean.tally.bytesRead);
        EXPECT_EQ(run.tally.bytesWritten, clean.tally.bytesWritten);
    }

    bool isLogCall(const FaultyFileSystem::Call& call) const {
        return call.path == logPath() || call.path == temp.path();
    }

    // The one place that says what a failure of the log's own calls does: the
    // entry being appended goes whole to the user's state log, or is written
    // whole beside the program when the append passes the failure over (the
    // size check before it, the close after it). The job is not touched, and
    // its problems say where the entry went.
    void expectAfterAFailedLogCall(const Outcome& run, const Outcome& clean) const {
        const bool movedOn = run.log.empty();
        EXPECT_EQ(movedOn ? run.userLog : run.log, clean.log);
        EXPECT_EQ(movedOn ? run.log : run.userLog, "");
        Outcome asIfLogged = run;
        asIfLogged.log = clean.log;
        expectSameAs(asIfLogged, clean);
        const auto written =
            std::vector{log::LogFileTally{movedOn ? userLogPath() : logPath(), 1, 1}};
        EXPECT_EQ(run.tally.problems.written, written);
        EXPECT_EQ(run.tally.problems.unwritten, 0);
    }

    const MemoryFolder temp{platform::systemRoot() + "vantrel"};
#ifdef _WIN32
    ScopedEnv stateFolder{"LOCALAPPDATA", (temp / "state").c_str()};
#else
    ScopedEnv stateFolder{"XDG_STATE_HOME", (temp / "state").c_str()};
#endif
    std::map<std::string, Bytes> sources;
};

TEST_P(FaultLoop, EverySingleFailureLeavesOneEntryAndNoDamage) {
    const Outcome clean = runJob(0);
    const std::vector<std::string> cleanEntries = entriesOf(clean.log);
    ASSERT_EQ(cleanEntries.size(), 1u) << "the folder in the way of VTS_02_0.BUP";
    ASSERT_EQ(cleanEntries[0].rfind("[CopyFile]\r\n", 0), 0u) << clean.log;
    expectSoundOutputs(clean);
    ASSERT_GT(clean.calls, 100);

    for (long n = 1; n <= clean.calls && !HasFailure(); ++n) {
        const Outcome run = runJob(n);
        ASSERT_TRUE(run.failed) << "call " << n << " was not made";
        const FaultyFileSystem::Call& call = *run.failed;
        SCOPED_TRACE("call " + std::to_string(n) + ": " + call.operation + " '" + call.path +
                     "' failed\n" + run.log);
        ASSERT_TRUE(kErrorOf.count(call.operation)) << "an operation the table lacks";
        expectSoundOutputs(run);
        if (isLogCall(call)) {
            expectAfterAFailedLogCall(run, clean);
            continue;
        }
        if (run.refused) {
            // A destination the job cannot lock is no destination: nothing is touched.
            EXPECT_EQ(call.operation, "lockFolder");
            EXPECT_EQ(run.log, "");
            EXPECT_EQ(run.outputs.size(), 1u) << "only the stale output, left alone";
            continue;
        }
        std::vector<std::string> entries = entriesOf(run.log);
        for (const std::string& entry : entries) {
            EXPECT_EQ(entry.rfind('[', 0), 0u) << "an entry begins with its header";
            if (entry.rfind("[CopySector]", 0) == 0) {
                EXPECT_NE(entry.find("\r\nFile: "), std::string::npos) << "and its File: line";
            }
        }
        EXPECT_EQ(run.tally.problems.entries(), int(entries.size()));
        entries.erase(std::remove(entries.begin(), entries.end(), cleanEntries[0]), entries.end());
        // Either the failure has its entry, or the job got over it entirely
        // (a read tried again, a close after reading, an answer of "no").
        if (entries.empty()) {
            expectSameAs(run, clean);
        } else {
            EXPECT_EQ(entries.size(), 1u) << "one entry for one failure";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Copies, FaultLoop,
                         ::testing::Values(engine::CopyKind::Packed, engine::CopyKind::Sparse),
                         [](const auto& copy) {
                             return copy.param == engine::CopyKind::Sparse ? "Sparse" : "Packed";
                         });

}  // namespace
}  // namespace vantrel::testing
