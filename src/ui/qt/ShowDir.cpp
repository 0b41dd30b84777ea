#include "ui/qt/ShowDir.h"

#include <QDir>
#include <QEventLoop>
#include <QFileDialog>

#include "platform/paths.h"
#include "ui/qt/program_icon.h"

namespace vantrel::ui {

std::string ShowDir::PickFolder(const std::string& start, std::uint32_t flags) {
    const QString folder = QString::fromStdString(start.empty() ? platform::systemRoot() : start);
    QFileDialog dialog(nullptr, "Select folder");
    dialog.setObjectName("ShowDir");
    dialog.setWindowIcon(programIcon());  // no owner to take it from
    dialog.setFileMode(QFileDialog::Directory);
    // The desktop's own dialog could neither be kept ownerless nor be found by tests.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setOption(QFileDialog::ShowDirsOnly, (flags & platform::BIF_RETURNONLYFSDIRS) != 0);
    dialog.setOption(QFileDialog::ReadOnly, (flags & platform::BIF_NEWDIALOGSTYLE) == 0);
    PickFolderHook(dialog, folder);

    // Not exec(): that would block the main window, which stays usable here.
    QEventLoop loop;
    QObject::connect(&dialog, &QDialog::finished, &loop, &QEventLoop::quit);
    dialog.setWindowModality(Qt::NonModal);
    dialog.show();
    loop.exec();

    if (dialog.result() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return "";
    // cleanPath drops a trailing separator but keeps the root's.
    return QDir::cleanPath(dialog.selectedFiles().first()).toStdString();
}

void ShowDir::PickFolderHook(QFileDialog& dialog, const QString& start) {
    dialog.setDirectory(start);
}

}  // namespace vantrel::ui
