// vantrel: the window. No menu and no command line beyond --help and
// --version: the window is the program.

#include <QApplication>

#include "platform/clock.h"
#include "platform/file_system_posix.h"
#include "platform/paths.h"
#include "platform/startup.h"
#include "registry/system_registry.h"
#include "ui/qt/ShowDir.h"
#include "ui/qt/command_line.h"
#include "ui/qt/main_window.h"
#include "ui/qt/program_icon.h"

int main(int argc, char** argv) {
    // Before anything is opened or printed (the display connection, the fonts, --help).
    vantrel::platform::prepareProcess();
    if (const auto status = vantrel::ui::handleCommandLine(argc, argv)) return *status;
    vantrel::ui::DisplayCheck displayCheck;
    QApplication application(argc, argv);
    displayCheck.done();
    QApplication::setApplicationName("vantrel");
    // The desktop entry's name: a Wayland compositor finds the icon and name there.
    QApplication::setDesktopFileName("io.github.vantrel.Vantrel");
    QApplication::setWindowIcon(vantrel::ui::programIcon());

    vantrel::platform::PosixFileSystem files;
    vantrel::platform::SystemClock clock;
    const auto registry = vantrel::registry::systemRegistry();
    vantrel::engine::Services services{files, clock, vantrel::platform::programFolder(),
                                       registry.get()};
    vantrel::ui::ShowDir folderDialog;
    services.folderDialog = &folderDialog;
    vantrel::ui::MainWindow window(services);
    window.start();
    return QApplication::exec();
}
