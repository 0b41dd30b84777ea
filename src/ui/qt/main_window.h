#pragma once

#include <QElapsedTimer>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>

#include "engine/control_state.h"
#include "engine/frmMain.h"
#include "ui/kept_text.h"
#include "ui/window_layout.h"
#include "ui/window_rules.h"

class QDragEnterEvent;
class QDragMoveEvent;
class QDropEvent;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QProgressBar;

namespace vantrel::ui {

// The program's one window: its controls as the window object knows them, the
// keyboard, the fixed size, and the engine's Controls carried out on Qt widgets.
// Object names are the controls' names in the layout table.
class MainWindow final : public QWidget, public engine::ControlState {
    Q_OBJECT

  public:
    explicit MainWindow(engine::Services& services, QWidget* parent = nullptr);
    ~MainWindow() override;

    engine::frmMain& form() { return m_form; }
    // Form_Load, then the window shown centred with the focus in the source box.
    void start();
    // The session ends (SIGTERM, SIGHUP, the session manager): the window
    // closes as by its close button, a running job winding down first, and
    // nothing waits for a click meanwhile: a message box or folder chooser
    // open now is dismissed, and no message box opens from now on.
    void endSession();

    std::string text(engine::TextBox box) override;
    void setText(engine::TextBox box, const std::string& text) override;
    void setSelStart(engine::TextBox box, int start) override;
    void setSelLength(engine::TextBox box, int length) override;
    void setFocus(engine::TextBox box) override;
    void setEnabled(engine::Input input, bool enabled) override;
    void setVisible(engine::Bar bar, bool visible) override;
    void setPanelText(int panel, const std::string& text) override;
    void setMousePointer(engine::MousePointer pointer) override;
    int alertValue() override;
    void setAlertValue(int value) override;
    void setFileListPath(const std::string& folder) override;
    void messageBox(const std::string& prompt, engine::MessageIcon icon,
                    const std::string& title) override;
    void beep() override;
    void pumpEvents() override;
    void pumpEventsWhileWaiting() override;
    void closeWindow() override;
    float windowWidth() override;
    float windowHeight() override;
    void setWindowWidth(float width) override;
    void setWindowHeight(float height) override;
    engine::WindowState windowState() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void buildControls();
    void buildStatusBar();
    void connectHandlers();
    // Runs an event handler; nothing it throws reaches Qt's event loop.
    void guarded(const char* handler, const std::function<void()>& run);
    // The widget of control `id`, as the class its kind makes.
    template <class Widget = QWidget>
    Widget* control(ControlId id) const {
        return qobject_cast<Widget*>(m_controls[std::size_t(id)]);
    }
    // The control that has the window's focus; none when the window itself has it.
    std::optional<ControlId> focusedControl() const;
    void pressEnter(const QKeyEvent& key);
    QLineEdit* box(engine::TextBox box) const;
    // The folder box at `position`, enabled or not.
    std::optional<engine::TextBox> boxAt(const QPoint& position) const;
    KeptText& kept(engine::TextBox box) { return m_keptTexts[std::size_t(box)]; }
    QProgressBar* barWidget(engine::Bar bar) const;
    void showBarValues();

    std::array<QWidget*, kControls.size()> m_controls{};
    std::array<QLabel*, 3> m_panels{};

    std::array<KeptText, 2> m_keptTexts;
    bool m_hourglass = false;
    bool m_sessionEnding = false;
    WindowRules m_rules{[this] { return m_form.jobRunning(); }};
    unsigned m_pumpCalls = 0;
    QElapsedTimer m_sinceRealPump;
    QElapsedTimer m_sinceBarsShown;
    engine::frmMain m_form;
};

}  // namespace vantrel::ui
