#pragma once

// What the tests of both real windows, Qt's and Win32's, start from.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "support/dvd_generator.h"
#include "support/test_bed.h"

namespace vantrel::testing {

// A real `Window` on real folders, with the log in the test's own folder.
// Each toolkit's fixture says how to press Extract, whether the window is
// open, and how to act during a job.
template <class Window>
class WindowTestBase : public ::testing::Test {
  protected:
    WindowTestBase() {
        makeFolder(source());
        makeFolder(destination());
    }
    std::string source() const { return temp / "src"; }
    std::string destination() const { return temp / "dst"; }
    // The two folders in their boxes, and the alert on or off.
    void setFolders(int alert = engine::kChecked) {
        window->setText(engine::TextBox::txtVobDir, source());
        window->setText(engine::TextBox::txtDest, destination());
        window->setAlertValue(alert);
    }
    // A VOB whose scan lasts long enough for the test to act during it: the
    // NV_PCKs of its first 50 packs, then zeros up to `bytes`.
    void writeLongVob(const std::string& name, std::uintmax_t bytes, std::string folder = {}) {
        const std::string path = (folder.empty() ? source() : folder) + kSep + name;
        writeFile(path, makeVob(50, 5, 3));
        std::filesystem::resize_file(nativePath(path), bytes);
    }
    static Bytes longVobNavPacks() { return expectedNavPacks(makeVob(50, 5, 3)); }

    virtual void clickExtract() = 0;
    virtual bool windowOpen() const = 0;
    // Runs `action` once, at the first real event pump after now.
    virtual void atNextPump(std::function<void()> action) = 0;
    // Drops the folder or file `path` on `box`, as from a file manager.
    virtual void drop(engine::TextBox box, const std::string& path) = 0;

    // A disc's root folder dropped on the source box: its path replaces the
    // box's text, the job reads its VIDEO_TS folder, and the box keeps the
    // root. A folder dropped on the destination box during the job, disabled
    // then, is for the next job: the running one keeps its own.
    void extractFromADroppedDiscRoot() {
        const std::string disc = temp / "disc", videoTs = disc + kSep + "VIDEO_TS";
        makeDvdFolder(videoTs, 1, 20);
        writeLongVob("VTS_01_2.VOB", std::uintmax_t{64} << 20, videoTs);
        window->setAlertValue(engine::kUnchecked);
        drop(engine::TextBox::txtVobDir, disc);
        EXPECT_EQ(window->text(engine::TextBox::txtVobDir), disc);
        const std::string next = temp / "next";
        makeFolder(next);
        bool duringTheJob = false;
        atNextPump([&] {
            duringTheJob = window->form().jobRunning();
            drop(engine::TextBox::txtDest, next);
        });
        clickExtract();
        EXPECT_TRUE(duringTheJob);
        EXPECT_EQ(readFile(destination() + kSep + "VTS_01_2.VOB"), longVobNavPacks());
        EXPECT_EQ(readFile(destination() + kSep + "VTS_01_0.IFO"),
                  readFile(videoTs + kSep + "VTS_01_0.IFO"));
        EXPECT_TRUE(namesIn(next).empty()) << "the running job kept its destination";
        EXPECT_EQ(window->text(engine::TextBox::txtVobDir), disc + kSep);
        EXPECT_EQ(window->text(engine::TextBox::txtDest), next);
    }

    // A long scan stopped the way `stop` does, at the job's first pump: the
    // job winds down, keeping what it found, and then closes the window.
    void stopDuringAScan(const std::function<void()>& stop) {
        writeLongVob("VTS_01_1.VOB", std::uintmax_t{8} << 30);
        bool stillOpen = false;
        atNextPump([&] {
            stop();
            stillOpen = windowOpen();
        });
        clickExtract();
        EXPECT_TRUE(stillOpen) << "the job winds down first";
        EXPECT_FALSE(windowOpen());
        EXPECT_EQ(readFile(destination() + kSep + "VTS_01_1.VOB"), longVobNavPacks())
            << "the packets found before the stop, and the file closed";
        EXPECT_FALSE(window->form().jobRunning());
        EXPECT_EQ(window->form().bCancel, engine::kFalse);
    }

    TempFolder temp;
    FaultyFileSystem files;
    FixedClock clock;
    engine::Services services{files, clock, temp.path()};
    std::unique_ptr<Window> window = std::make_unique<Window>(services);
};

}  // namespace vantrel::testing
