// The extraction driven through the real window, for the benchmark.

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <optional>
#include <stdexcept>
#include <thread>

#include "jobs.h"
#include "platform/clock.h"
#include "platform/file_system_posix.h"
#include "platform/paths.h"
#include "support/faulty_file_system.h"
#include "ui/qt/main_window.h"

namespace vantrel::bench {
namespace {

void ensureApplication() {
    if (QApplication::instance() != nullptr) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "vantrel-bench";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);  // lives as long as the benchmark
}

using Clock = std::chrono::steady_clock;

// Whether the job has come to its VOBs; a thread of the benchmark's may ask.
struct ScanWatch final : engine::JobObserver {
    std::atomic<bool> scanning = false;
    void jobStarted(const engine::JobStart&) override {}
    void fileStarted(const engine::FileStart& file) override {
        if (file.kind == engine::FileKind::Vob) scanning = true;
    }
    void bytesScanned(std::int64_t) override {}
    void fileEnded(const engine::FileEnd&) override {}
    void entryLogged(const engine::LoggedEntry&) override {}
    void jobEnded(const engine::JobEnd&) override {}
};

// The main window on `files`, shown, with the folders of `dvd` and the alert off.
struct WindowOnFolder {
    platform::SystemClock clock;
    engine::Services services;
    ui::MainWindow window{services};
    ScanWatch watch;

    WindowOnFolder(const DvdLikeFolder& dvd, platform::FileSystem& files)
        : services{files, clock, platform::programFolder()} {
        window.form().setObserver(&watch);
        window.start();
        window.setText(engine::TextBox::txtVobDir, dvd.source);
        window.setText(engine::TextBox::txtDest, dvd.destination);
        window.setAlertValue(engine::kUnchecked);
    }
    QPushButton* button(const char* name) { return window.findChild<QPushButton*>(name); }
};

}  // namespace

double extractThroughWindow(const DvdLikeFolder& dvd) {
    ensureApplication();
    platform::PosixFileSystem files;
    WindowOnFolder shown(dvd, files);
    const double seconds = secondsOf([&] { shown.button("cmdGo")->click(); });
    if (shown.window.form().tally().vobsScanned != 2)
        throw std::runtime_error("the window's job failed");
    return seconds;
}

namespace {

// One try: the seconds from the timer's due time to the job's return, or
// nothing when the timer was due too soon (Exit came before the scans, the
// machine being busy) or too late (the job was over), `tooSoon` saying which.
std::optional<double> exitAnswerTime(const DvdLikeFolder& dvd, std::chrono::milliseconds delay,
                                     bool& tooSoon) {
    platform::PosixFileSystem files;
    WindowOnFolder shown(dvd, files);
    const Clock::time_point due = Clock::now() + delay;
    QTimer::singleShot(delay, Qt::PreciseTimer, &shown.window,
                       [&] { shown.button("cmdExit")->click(); });
    shown.button("cmdGo")->click();
    const Clock::time_point returned = Clock::now();
    const engine::JobTally& tally = shown.window.form().tally();
    tooSoon = !shown.watch.scanning;
    if (returned < due || tally.vobsScanned == 2 || tooSoon) return std::nullopt;
    return std::chrono::duration<double>(returned - due).count();
}

}  // namespace

std::vector<double> exitAnswerTimes(const DvdLikeFolder& dvd, int tries) {
    ensureApplication();
    std::vector<double> answers;
    for (int attempt = 0; attempt < tries; ++attempt) {
        // Spread over the scans, past the side files; sooner on a machine
        // that finishes the job before the timer is due, later on one that
        // is still at the side files.
        auto delay = std::chrono::milliseconds(20 + (attempt * 37) % 120);
        std::optional<double> answer;
        bool tooSoon = false;
        for (int retries = 0; !(answer = exitAnswerTime(dvd, delay, tooSoon)); ++retries) {
            if (retries == 20 || (!tooSoon && delay <= std::chrono::milliseconds(2)))
                throw std::runtime_error("Exit cannot be pressed during a scan");
            delay = tooSoon ? delay * 3 / 2 : delay / 2;
        }
        answers.push_back(*answer);
    }
    return answers;
}

StallAnswer stalledSourceAnswer(const DvdLikeFolder& dvd, std::chrono::milliseconds stall) {
    ensureApplication();
    testing::FaultyFileSystem files;  // the system's files, but for the held read
    files.holdRead = stall.count() > 0 ? dvd.files.front() : "";  // the first VOB
    files.holdLimit = stall;
    WindowOnFolder shown(dvd, files);
    // A timer due at once fires at each real pump of the window, and only there.
    std::vector<Clock::time_point> pumps{Clock::now()};
    QTimer pumpWatch;
    QObject::connect(&pumpWatch, &QTimer::timeout, [&] { pumps.push_back(Clock::now()); });
    pumpWatch.start(0);
    // Exit comes from another thread, as a click the window finds at its next
    // pump: two thirds into the stall, or a tenth of a second into the scans.
    Clock::time_point exitPressed;
    std::thread user([&] {
        while (!(stall.count() > 0 ? files.holding() : shown.watch.scanning.load()))
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        std::this_thread::sleep_for(stall.count() > 0 ? stall * 2 / 3
                                                      : std::chrono::milliseconds(100));
        exitPressed = Clock::now();
        QMetaObject::invokeMethod(shown.button("cmdExit"), &QPushButton::click,
                                  Qt::QueuedConnection);
    });
    shown.button("cmdGo")->click();
    const Clock::time_point returned = Clock::now();
    user.join();
    pumpWatch.stop();
    if (returned < exitPressed || shown.window.form().tally().vobsScanned == 2)
        throw std::runtime_error("the job was over before Exit was pressed");
    // Up to the first pump after Exit: the one that answered it.
    StallAnswer answer{0, std::chrono::duration<double>(returned - exitPressed).count()};
    for (std::size_t i = 1; i < pumps.size() && pumps[i - 1] <= exitPressed; ++i)
        answer.longestPumpGap = std::max(
            answer.longestPumpGap, std::chrono::duration<double>(pumps[i] - pumps[i - 1]).count());
    return answer;
}

}  // namespace vantrel::bench
