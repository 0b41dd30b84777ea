// A folder or a disc image dropped on a folder box. The window takes every
// drop, not the boxes: a box's own drop would insert the text at the caret,
// and a disabled box (during a job) takes none, while the path is for the
// next job then.

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFile>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>

#include "ui/qt/main_window.h"

namespace vantrel::ui {
namespace {

// The first local file or folder among what is dragged, as the system spells
// its name; empty for anything else (a web address, a text).
std::string droppedPath(const QMimeData* data) {
    if (data == nullptr) return {};
    for (const QUrl& url : data->urls())
        if (url.isLocalFile()) return QFile::encodeName(url.toLocalFile()).toStdString();
    return {};
}

}  // namespace

std::optional<engine::TextBox> MainWindow::boxAt(const QPoint& position) const {
    for (const engine::TextBox which : {engine::TextBox::txtVobDir, engine::TextBox::txtDest})
        if (box(which)->geometry().contains(position)) return which;
    return std::nullopt;
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedPath(event->mimeData()).empty()) event->acceptProposedAction();
}

void MainWindow::dragMoveEvent(QDragMoveEvent* event) {
    if (!droppedPath(event->mimeData()).empty() && boxAt(event->position().toPoint())) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void MainWindow::dropEvent(QDropEvent* event) {
    const std::string path = droppedPath(event->mimeData());
    const std::optional<engine::TextBox> target = boxAt(event->position().toPoint());
    if (path.empty() || !target) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    guarded("folderDropped", [&] { m_form.folderDropped(*target, path); });
}

}  // namespace vantrel::ui
