#pragma once

#include <gtest/gtest.h>

#include <string>

#include "engine/frmMain.h"
#include "platform/clock.h"
#include "platform/paths.h"
#include "support/dvd_generator.h"
#include "support/faulty_file_system.h"
#include "support/headless_window.h"
#include "support/memory_file_system.h"
#include "support/recording_observer.h"
#include "support/temp_folder.h"

namespace vantrel::testing {

// Always 7 December 2026, 09:05:03.
class FixedClock final : public platform::Clock {
  public:
    platform::LocalTime now() const override { return {2026, 12, 7, 9, 5, 3}; }
    const platform::DateTimeSeparators& separators() const override { return separators_; }
    platform::DateTimeSeparators separators_;
};

inline constexpr const char* kFixedTimestamp = "07/12/2026 09:05:03";

// A folder of a memory file system, spelt as a temporary folder is.
class MemoryFolder {
  public:
    explicit MemoryFolder(std::string path) : m_path(std::move(path)) {}
    const std::string& path() const { return m_path; }
    std::string operator/(const std::string& relative) const { return m_path + kSep + relative; }

  private:
    std::string m_path;
};

// A window object on the headless window, with a program folder (so the log
// lands there) that holds "src" and "dst"; a test reads and writes its files
// through the bed. TestBed keeps them in memory, for the engine's logic;
// DiskTestBed on the real disk, in a temporary folder of its own, for what
// only the system does (links, hidden entries, size limits, files beyond
// 4 GiB, locks between two windows, letter case).
template <typename Disk, typename Folder>
struct BasicTestBed {
    Disk disk;
    Folder temp;
    // Made before the window object, which looks where its log can go.
    bool foldersMade = makeFolders();
    FaultyFileSystem files;
    FixedClock clock;
    engine::Services services{files, clock, temp.path()};
    HeadlessWindow window{files};
    engine::frmMain form{window, services};
    RecordingObserver events;  // what the window object's jobs told

    std::string source() const { return temp / "src"; }
    std::string destination() const { return temp / "dst"; }
    std::string logPath() const { return temp / "Vantrel.log"; }
    std::string logText() const { return disk.exists(logPath()) ? disk.readText(logPath()) : ""; }

    // The folder texts as a validated job leaves them: ending in the separator.
    void useFolders() {
        window.texts[engine::TextBox::txtVobDir] = source() + kSep;
        window.texts[engine::TextBox::txtDest] = destination() + kSep;
    }

  protected:
    template <typename... FolderArgs>
    explicit BasicTestBed(FolderArgs&&... folder)
        : temp(std::forward<FolderArgs>(folder)...), files(disk.fileSystem()) {
        form.setObserver(&events);
    }

  private:
    bool makeFolders() {
        disk.makeFolder(source());
        disk.makeFolder(destination());
        return true;
    }
};

// The real disk through the test helpers' functions.
struct RealDisk {
    platform::SystemFileSystem system;
    platform::FileSystem& fileSystem() { return system; }
    void makeFolder(const std::string& path) const { testing::makeFolder(path); }
    void writeFile(const std::string& path, const Bytes& content) const {
        testing::writeFile(path, content);
    }
    void writeFile(const std::string& path, const std::string& content) const {
        testing::writeFile(path, content);
    }
    Bytes readFile(const std::string& path) const { return testing::readFile(path); }
    std::string readText(const std::string& path) const { return testing::readText(path); }
    bool exists(const std::string& path) const { return testing::exists(path); }
    std::vector<std::string> namesIn(const std::string& folder) const {
        return testing::namesIn(folder);
    }
};

// Its folders stand in the system's root ("/", "C:\\"), which so lists an entry
// as a real root does.
struct TestBed final : BasicTestBed<MemoryFileSystem, MemoryFolder> {
    TestBed() : BasicTestBed(platform::systemRoot() + "vantrel") {}
};

struct DiskTestBed final : BasicTestBed<RealDisk, TempFolder> {
    DiskTestBed() = default;
};

// A test on a bed, whose files it reads and writes under the names of the
// disk's helpers: the same test body runs on either bed.
template <typename Bed>
class OnBed : public ::testing::Test {
  protected:
    void makeFolder(const std::string& path) { bed.disk.makeFolder(path); }
    void writeFile(const std::string& path, const Bytes& content) {
        bed.disk.writeFile(path, content);
    }
    void writeFile(const std::string& path, const std::string& content) {
        bed.disk.writeFile(path, content);
    }
    Bytes readFile(const std::string& path) { return bed.disk.readFile(path); }
    std::string readText(const std::string& path) { return bed.disk.readText(path); }
    bool exists(const std::string& path) { return bed.disk.exists(path); }
    std::vector<std::string> namesIn(const std::string& folder) { return bed.disk.namesIn(folder); }
    void makeDvdFolder(const std::string& folder, int titleVobs, std::size_t packsPerVob,
                       int titleSets = 1) {
        bed.disk.makeFolder(folder);
        testing::makeDvdFolder([this](const std::string& path,
                                      const Bytes& content) { bed.disk.writeFile(path, content); },
                               folder, titleVobs, packsPerVob, titleSets);
    }

    Bed bed;
};

}  // namespace vantrel::testing
