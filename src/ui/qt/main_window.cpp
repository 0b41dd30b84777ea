#include "ui/qt/main_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <stdexcept>

#include "platform/failure.h"
#include "ui/control_values.h"
#include "ui/qt/twips.h"

namespace vantrel::ui {
namespace {

QString qt(const std::string& text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

std::u16string_view units(const QString& text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), std::size_t(text.size())};
}

}  // namespace

MainWindow::MainWindow(engine::Services& services, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      engine::ControlState(services.files),
      m_form(*this, services) {
    buildControls();
    connectHandlers();
}

MainWindow::~MainWindow() {
    if (m_hourglass) QApplication::restoreOverrideCursor();
}

void MainWindow::start() {
    m_form.Form_Load();
    const QRect screen = this->screen()->availableGeometry();
    move(screen.center() - QPoint(width() / 2, height() / 2));
    show();
    control(ControlId::txtVobDir)->setFocus(Qt::OtherFocusReason);
}

void MainWindow::endSession() {
    m_sessionEnding = true;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<QDialog*>(widget); dialog != nullptr && dialog->isVisible())
            dialog->reject();
    }
    close();
}

void MainWindow::connectHandlers() {
    connect(control<QPushButton>(ControlId::cmdGo), &QPushButton::clicked, this,
            [this] { guarded("cmdGo_Click", [this] { m_form.cmdGo_Click(); }); });
    connect(control<QPushButton>(ControlId::cmdExit), &QPushButton::clicked, this,
            [this] { guarded("cmdExit_Click", [this] { m_form.cmdExit_Click(); }); });
    for (std::int16_t index = 0; index < 2; ++index) {
        connect(control<QPushButton>(kCmdDir[std::size_t(index)]), &QPushButton::clicked, this,
                [this, index] {
                    guarded("cmdDir_Click", [this, index] { m_form.cmdDir_Click(index); });
                });
    }
}

void MainWindow::guarded(const char* handler, const std::function<void()>& run) {
    try {
        run();
    } catch (const std::exception& failure) {
        qWarning("%s: %s", handler, failure.what());
    } catch (...) {
        qWarning("%s failed", handler);
    }
}

QLineEdit* MainWindow::box(engine::TextBox which) const {
    return control<QLineEdit>(which == engine::TextBox::txtVobDir ? ControlId::txtVobDir
                                                                  : ControlId::txtDest);
}

QProgressBar* MainWindow::barWidget(engine::Bar bar) const {
    return control<QProgressBar>(bar == engine::Bar::Prog ? ControlId::Prog : ControlId::ProgFile);
}

std::optional<ControlId> MainWindow::focusedControl() const {
    const QWidget* focus = focusWidget();
    for (const ControlLayout& layout : kControls)
        if (focus != nullptr && focus == control(layout.id)) return layout.id;
    return std::nullopt;
}

std::string MainWindow::text(engine::TextBox which) {
    return kept(which).text(box(which)->text().toStdString());
}

void MainWindow::setText(engine::TextBox which, const std::string& text) {
    box(which)->setText(qt(text));
    kept(which).set(text, box(which)->text().toStdString());
}

void MainWindow::setSelStart(engine::TextBox which, int start) {
    QLineEdit* edit = box(which);
    const int position = unitsAfter(units(edit->text()), 0, start);
    edit->setSelection(position, 0);
    edit->setCursorPosition(position);
}

void MainWindow::setSelLength(engine::TextBox which, int length) {
    QLineEdit* edit = box(which);
    const int start = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
    edit->setSelection(start, unitsAfter(units(edit->text()), start, length) - start);
}

void MainWindow::setFocus(engine::TextBox which) { box(which)->setFocus(Qt::OtherFocusReason); }

void MainWindow::setEnabled(engine::Input input, bool enabled) {
    const ControlId id = input == engine::Input::txtVobDir ? ControlId::txtVobDir
                         : input == engine::Input::txtDest ? ControlId::txtDest
                                                           : ControlId::cmdGo;
    QWidget* widget = control(id);
    const bool hadFocus = widget->hasFocus();
    widget->setEnabled(enabled);
    if (!enabled && m_rules.focusGoesToWindow(id, hadFocus)) {
        QWidget::setFocus(Qt::OtherFocusReason);
    } else if (enabled && m_rules.focusComesBack(id, QApplication::focusWidget() == this)) {
        widget->setFocus(Qt::OtherFocusReason);
    }
}

void MainWindow::setVisible(engine::Bar bar, bool visible) {
    showBarValues();
    barWidget(bar)->setVisible(visible);
}

void MainWindow::setPanelText(int panel, const std::string& text) {
    QLabel* shown = m_panels[panelIndex(panel)];
    shown->setText(qt(text));
    shown->setAccessibleName(qt(panelAccessibleName(panel, text)));
}

void MainWindow::setMousePointer(engine::MousePointer pointer) {
    const bool hourglass = pointer == engine::MousePointer::Hourglass;
    if (hourglass == m_hourglass) return;
    m_hourglass = hourglass;
    if (hourglass) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

int MainWindow::alertValue() {
    switch (control<QCheckBox>(ControlId::chkAlert)->checkState()) {
        case Qt::Checked:
            return engine::kChecked;
        case Qt::PartiallyChecked:
            return engine::kGrayed;
        default:
            return engine::kUnchecked;
    }
}

void MainWindow::setAlertValue(int value) {
    checkedAlertValue(value);
    auto* check = control<QCheckBox>(ControlId::chkAlert);
    check->setTristate(value == engine::kGrayed);
    check->setCheckState(value == engine::kChecked  ? Qt::Checked
                         : value == engine::kGrayed ? Qt::PartiallyChecked
                                                    : Qt::Unchecked);
}

void MainWindow::setFileListPath(const std::string& folder) {
    ControlState::setFileListPath(folder);
    auto* list = control<QListWidget>(ControlId::File);
    list->clear();
    for (const std::string& name : fileListNames()) list->addItem(qt(name));
}

void MainWindow::messageBox(const std::string& prompt, engine::MessageIcon icon,
                            const std::string& title) {
    if (m_sessionEnding) return;
    const QMessageBox::Icon shown = icon == engine::MessageIcon::Critical ? QMessageBox::Critical
                                    : icon == engine::MessageIcon::Exclamation
                                        ? QMessageBox::Warning
                                        : QMessageBox::Information;
    QMessageBox box(shown, qt(title), qt(prompt), QMessageBox::Ok, this);
    box.exec();
}

void MainWindow::beep() { QApplication::beep(); }

void MainWindow::pumpEvents() {
    if (++m_pumpCalls % engine::kPumpCallsPerClockRead == 0) pumpEventsWhileWaiting();
}

void MainWindow::pumpEventsWhileWaiting() {
    if (m_sinceRealPump.isValid() && m_sinceRealPump.elapsed() < engine::kRealPumpInterval.count())
        return;
    m_sinceRealPump.start();
    if (!m_sinceBarsShown.isValid() || m_sinceBarsShown.elapsed() >= kBarRepaintInterval.count()) {
        m_sinceBarsShown.start();
        showBarValues();
    }
    QCoreApplication::processEvents();
}

void MainWindow::closeWindow() { close(); }

float MainWindow::windowWidth() {
    return toTwips(width() + kNominalFrame.left() + kNominalFrame.right());
}

float MainWindow::windowHeight() {
    return toTwips(height() + kNominalFrame.top() + kNominalFrame.bottom());
}

// Setting a size brings a maximised window back to normal first.
void MainWindow::setWindowWidth(float width) {
    if (isMaximized() || isFullScreen()) showNormal();
    resize(toPixels(width) - kNominalFrame.left() - kNominalFrame.right(), height());
}

void MainWindow::setWindowHeight(float height) {
    if (isMaximized() || isFullScreen()) showNormal();
    resize(width(), toPixels(height) - kNominalFrame.top() - kNominalFrame.bottom());
}

engine::WindowState MainWindow::windowState() {
    if (isMinimized()) return engine::WindowState::Minimized;
    if (isMaximized() || isFullScreen()) return engine::WindowState::Maximized;
    return engine::WindowState::Normal;
}

// Every close that goes through saves the settings.
void MainWindow::closeEvent(QCloseEvent* event) {
    if (m_rules.closeActsAsExit()) {
        event->ignore();
        guarded("cmdExit_Click", [this] { m_form.cmdExit_Click(); });
        return;
    }
    guarded("Form_Unload", [this] { m_form.Form_Unload(); });
    // A folder chooser left open would keep the program running for nothing.
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* chooser = qobject_cast<QDialog*>(widget);
            chooser != nullptr && chooser->objectName() == "ShowDir" && chooser->isVisible())
            chooser->reject();
    }
    event->accept();
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Escape:
            control<QPushButton>(kCancelButton)->click();
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            pressEnter(*event);
            return;
        default:
            QWidget::keyPressEvent(event);
    }
}

void MainWindow::pressEnter(const QKeyEvent& key) {
    const std::optional<ControlId> pressed =
        m_rules.enterPresses(focusedControl(), key.isAutoRepeat());
    if (!pressed) return;
    auto* button = control<QPushButton>(*pressed);
    if (button->isEnabled()) button->click();
}

// Alt with a key is a command and never edits a folder box. The access keys
// (S, D, E, X) are taken before the box sees them; any other, the hidden
// check box's A included, would type its letter or undo (Alt+Backspace).
// Extract, the default button, would press itself on Enter when it has the
// focus: its Enter goes by the rules too.
bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (watched == control(kDefaultButton)) {
        if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
        pressEnter(*key);
        return true;
    }
    return (key->modifiers() & Qt::AltModifier) != 0;
}

void MainWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        guarded("Form_Resize", [this] { m_form.Form_Resize(); });
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    guarded("Form_Resize", [this] { m_form.Form_Resize(); });
}

}  // namespace vantrel::ui
