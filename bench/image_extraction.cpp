// A job whose source is a UDF disc image, driven through the terminal's
// controls in this process.

#include <cstdio>
#include <stdexcept>

#include "cli/progress_display.h"
#include "cli/terminal_window.h"
#include "jobs.h"
#include "platform/clock.h"
#include "platform/disc_image_file_system.h"
#include "platform/file_system_posix.h"
#include "platform/paths.h"

namespace vantrel::bench {

void writeUdfImage(const DvdLikeFolder& dvd, const std::string& image) {
    runProgram(
        {"genisoimage", "-quiet", "-udf", "-graft-points", "-o", image, "VIDEO_TS/=" + dvd.source});
}

double extractFromImage(const DvdLikeFolder& dvd, const std::string& image) {
    platform::PosixFileSystem system;
    platform::SystemClock clock;
    cli::ProgressDisplay display(stderr, cli::ProgressDisplay::Mode::Quiet);
    int vobsScanned = 0;
    const double seconds = secondsOf([&] {
        // Reading the image's file system is part of the job.
        platform::DiscImageFileSystem files(system);
        engine::Services services{files, clock, platform::programFolder()};
        cli::TerminalWindow window(files, display, false);
        engine::frmMain form(window, services);
        cli::JobReport report(display);
        window.attach(form, report);
        form.setObserver(&report);
        window.setText(engine::TextBox::txtVobDir, image);
        window.setText(engine::TextBox::txtDest, dvd.destination);
        form.cmdGo_Click();
        vobsScanned = form.tally().vobsScanned;
    });
    if (vobsScanned != 2) throw std::runtime_error("the job from the image failed");
    return seconds;
}

}  // namespace vantrel::bench
