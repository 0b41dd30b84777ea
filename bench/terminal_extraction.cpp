// The extraction driven through the terminal's controls, in this process.

#include <cstdio>
#include <stdexcept>

#include "cli/progress_display.h"
#include "cli/terminal_window.h"
#include "jobs.h"
#include "platform/clock.h"
#include "platform/file_system_posix.h"
#include "platform/paths.h"

namespace vantrel::bench {

double extractInProcess(const DvdLikeFolder& dvd) {
    platform::PosixFileSystem files;
    platform::SystemClock clock;
    engine::Services services{files, clock, platform::programFolder()};
    cli::ProgressDisplay display(stderr, cli::ProgressDisplay::Mode::Quiet);
    cli::TerminalWindow window(files, display, false);
    engine::frmMain form(window, services);
    cli::JobReport report(display);
    window.attach(form, report);
    form.setObserver(&report);
    window.setText(engine::TextBox::txtVobDir, dvd.source);
    window.setText(engine::TextBox::txtDest, dvd.destination);
    const double seconds = secondsOf([&] { form.cmdGo_Click(); });
    if (form.tally().vobsScanned != 2) throw std::runtime_error("the terminal's job failed");
    return seconds;
}

}  // namespace vantrel::bench
