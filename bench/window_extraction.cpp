// The extraction driven through the real window, for the benchmark.

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <stdexcept>

#include "jobs.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/paths.h"
#include "ui/main_window.h"

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

// The main window, shown, with the folders of `dvd` and the alert off.
struct WindowOnFolder {
    platform::PosixFileSystem files;
    platform::SystemClock clock;
    platform::Services services{files, clock, platform::programFolder()};
    ui::MainWindow window{services};

    explicit WindowOnFolder(const DvdLikeFolder& dvd) {
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
    WindowOnFolder shown(dvd);
    const double seconds = secondsOf([&] { shown.button("cmdGo")->click(); });
    if (shown.window.form().tally().vobsScanned != 2)
        throw std::runtime_error("the window's job failed");
    return seconds;
}

std::vector<double> exitAnswerTimes(const DvdLikeFolder& dvd, int tries) {
    ensureApplication();
    using Clock = std::chrono::steady_clock;
    std::vector<double> answers;
    for (int attempt = 0; attempt < tries; ++attempt) {
        WindowOnFolder shown(dvd);
        // Spread over the first 200 ms of the scans, past the side files.
        const auto delay = std::chrono::milliseconds(20 + (attempt * 37) % 180);
        const Clock::time_point due = Clock::now() + delay;
        QTimer::singleShot(delay, Qt::PreciseTimer, &shown.window,
                           [&] { shown.button("cmdExit")->click(); });
        shown.button("cmdGo")->click();
        const Clock::time_point returned = Clock::now();
        const engine::JobTally& tally = shown.window.form().tally();
        if (returned < due || tally.vobsScanned == 2 ||
            tally.currentFile.find(".VOB") == std::string::npos)
            throw std::runtime_error("Exit was not pressed during a scan");
        answers.push_back(std::chrono::duration<double>(returned - due).count());
    }
    return answers;
}

}  // namespace vantrel::bench
