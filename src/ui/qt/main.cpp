// vantrel: the window. No menu and no command line beyond --help and
// --version: the window is the program.

#include <QApplication>
#include <QSessionManager>

#include "platform/clock.h"
#include "platform/paths.h"
#include "platform/startup.h"
#include "platform/system_file_system.h"
#include "registry/system_registry.h"
#include "ui/qt/ShowDir.h"
#include "ui/qt/command_line.h"
#include "ui/qt/main_window.h"
#include "ui/qt/program_icon.h"
#include "ui/qt/termination_requests.h"

int main(int argc, char** argv) {
    // Before anything is opened or printed (the display connection, the fonts, --help).
    vantrel::platform::prepareProcess();
    if (const auto status = vantrel::ui::handleCommandLine(argc, argv)) return *status;
    // Before the display is opened: from now on SIGTERM and SIGHUP wait for the window.
    vantrel::ui::TerminationRequests::install();
    vantrel::ui::DisplayCheck displayCheck;
    QApplication application(argc, argv);
    displayCheck.done();
    QApplication::setApplicationName("vantrel");
    // The desktop entry's name: a Wayland compositor finds the icon and name there.
    QApplication::setDesktopFileName("io.github.vantrel.Vantrel");
    QApplication::setWindowIcon(vantrel::ui::programIcon());

    // Disc images and drives too, typed into the source box.
    vantrel::platform::SystemFileSystem files;
    vantrel::platform::SystemClock clock;
    const auto registry = vantrel::registry::systemRegistry();
    vantrel::engine::Services services{files, clock, vantrel::platform::programFolder(),
                                       registry.get()};
    vantrel::ui::ShowDir folderDialog;
    services.folderDialog = &folderDialog;
    vantrel::ui::MainWindow window(services);
    // The end of the session, however it is told, closes the window as its
    // close button does: a running job winds down, the settings are saved (as
    // the Windows window saves them at WM_ENDSESSION).
    vantrel::ui::TerminationRequests terminationRequests;
    QObject::connect(&terminationRequests, &vantrel::ui::TerminationRequests::requested, &window,
                     &vantrel::ui::MainWindow::endSession);
    QObject::connect(
        &application, &QGuiApplication::commitDataRequest, &window,
        [&window](QSessionManager&) { window.endSession(); }, Qt::DirectConnection);
    window.start();
    return QApplication::exec();
}
