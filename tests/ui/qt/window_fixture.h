#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDropEvent>
#include <QIcon>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <QWindow>
#include <functional>

#include "support/window_test.h"
#include "ui/qt/main_window.h"

namespace vantrel::testing {

// True when `icon` shows the program's own picture, as the sources hold it.
inline bool isProgramIcon(const QIcon& icon) {
    const QImage expected(VANTREL_ICON_DIR "/vantrel-32.png");
    return !expected.isNull() &&
           icon.pixmap(32).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied) ==
               expected.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// Answers every message box that opens while it lives, as a user pressing OK
// would, and keeps what each said.
class MessageBoxAnswerer {
  public:
    struct Seen {
        QString text, title;
        QMessageBox::Icon icon;
        bool programIcon;  // in its title bar
    };

    MessageBoxAnswerer() {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { answer(); });
        m_timer.start();
    }
    const std::vector<Seen>& seen() const { return m_seen; }

  private:
    void answer() {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            if (box == nullptr || !box->isVisible()) continue;
            m_seen.push_back(
                {box->text(), box->windowTitle(), box->icon(), isProgramIcon(box->windowIcon())});
            box->button(QMessageBox::Ok)->click();
        }
    }

    QTimer m_timer;
    std::vector<Seen> m_seen;
};

// The Qt window, its widgets found by their object names.
class WindowTest : public WindowTestBase<ui::MainWindow> {
  protected:
    template <class T>
    T* find(const char* name) {
        T* widget = window->findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    void clickExtract() override { find<QPushButton>("cmdGo")->click(); }
    bool windowOpen() const override { return window->isVisible(); }
    void atNextPump(std::function<void()> action) override {
        QTimer::singleShot(0, window.get(), std::move(action));
    }
    // Through the window's platform window, which finds the widget that
    // takes the drop as a real drag and drop does.
    void drop(engine::TextBox box, const std::string& path) override {
        const auto* edit =
            find<QLineEdit>(box == engine::TextBox::txtVobDir ? "txtVobDir" : "txtDest");
        QMimeData dragged;
        dragged.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
        const QPoint at = edit->geometry().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &dragged, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window->windowHandle(), &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent dropped(at, Qt::CopyAction, &dragged, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window->windowHandle(), &dropped);
        EXPECT_TRUE(dropped.isAccepted());
    }
};

}  // namespace vantrel::testing
