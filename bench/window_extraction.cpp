// The extraction driven through the real window, for the benchmark.

#include <QApplication>
#include <QPushButton>
#include <stdexcept>

#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/paths.h"
#include "throughput.h"
#include "ui/main_window.h"

namespace vantrel::bench {

void extractThroughWindow(const DvdLikeFolder& dvd) {
    if (QApplication::instance() == nullptr) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "vantrel-bench";
        static char* argv[] = {name, nullptr};
        new QApplication(argc, argv);  // lives as long as the benchmark
    }
    platform::PosixFileSystem files;
    platform::SystemClock clock;
    platform::Services services{files, clock, platform::programFolder()};
    ui::MainWindow window(services);
    window.start();
    window.setText(engine::TextBox::txtVobDir, dvd.source);
    window.setText(engine::TextBox::txtDest, dvd.destination);
    window.setAlertValue(engine::kUnchecked);
    window.findChild<QPushButton*>("cmdGo")->click();
    if (window.form().tally().vobsScanned != 2) throw std::runtime_error("the window's job failed");
}

}  // namespace vantrel::bench
