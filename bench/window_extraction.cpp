// The extraction driven through the real window, for the benchmark.

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <optional>
#include <stdexcept>

#include "jobs.h"
#include "platform/clock.h"
#include "platform/file_system_posix.h"
#include "platform/paths.h"
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

// Whether the job has come to its VOBs.
struct ScanWatch final : engine::JobObserver {
    bool scanning = false;
    void jobStarted(const engine::JobStart&) override {}
    void fileStarted(const engine::FileStart& file) override {
        scanning |= file.kind == engine::FileKind::Vob;
    }
    void bytesScanned(std::int64_t) override {}
    void fileEnded(const engine::FileEnd&) override {}
    void entryLogged(const engine::LoggedEntry&) override {}
    void jobEnded(const engine::JobEnd&) override {}
};

// The main window, shown, with the folders of `dvd` and the alert off.
struct WindowOnFolder {
    platform::PosixFileSystem files;
    platform::SystemClock clock;
    engine::Services services{files, clock, platform::programFolder()};
    ui::MainWindow window{services};
    ScanWatch watch;

    explicit WindowOnFolder(const DvdLikeFolder& dvd) {
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
    WindowOnFolder shown(dvd);
    const double seconds = secondsOf([&] { shown.button("cmdGo")->click(); });
    if (shown.window.form().tally().vobsScanned != 2)
        throw std::runtime_error("the window's job failed");
    return seconds;
}

namespace {

// One try: the seconds from the timer's due time to the job's return, or
// nothing when the job was over before the timer was due.
std::optional<double> exitAnswerTime(const DvdLikeFolder& dvd, std::chrono::milliseconds delay) {
    using Clock = std::chrono::steady_clock;
    WindowOnFolder shown(dvd);
    const Clock::time_point due = Clock::now() + delay;
    QTimer::singleShot(delay, Qt::PreciseTimer, &shown.window,
                       [&] { shown.button("cmdExit")->click(); });
    shown.button("cmdGo")->click();
    const Clock::time_point returned = Clock::now();
    const engine::JobTally& tally = shown.window.form().tally();
    if (returned < due || tally.vobsScanned == 2) return std::nullopt;
    if (!shown.watch.scanning) throw std::runtime_error("Exit was pressed before the scans");
    return std::chrono::duration<double>(returned - due).count();
}

}  // namespace

std::vector<double> exitAnswerTimes(const DvdLikeFolder& dvd, int tries) {
    ensureApplication();
    std::vector<double> answers;
    for (int attempt = 0; attempt < tries; ++attempt) {
        // Spread over the scans, past the side files; sooner on a machine
        // that finishes the job before the timer is due.
        auto delay = std::chrono::milliseconds(20 + (attempt * 37) % 120);
        std::optional<double> answer;
        while (!(answer = exitAnswerTime(dvd, delay))) {
            if (delay <= std::chrono::milliseconds(2))
                throw std::runtime_error("the job ends before Exit can be pressed");
            delay /= 2;
        }
        answers.push_back(*answer);
    }
    return answers;
}

}  // namespace vantrel::bench
