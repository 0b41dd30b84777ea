#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QWidget>
#include <array>
#include <functional>

#include "engine/frmMain.h"
#include "engine/window_controls.h"
#include "ui/kept_text.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QStatusBar;

namespace vantrel::ui {

// The program's one window: its controls as the window object knows them, the
// keyboard, the fixed size, and the engine's Controls carried out on Qt widgets.
// Object names are the controls' names; the control arrays are named with
// their index: "Label1_0", "Label1_1", "cmdDir_0", "cmdDir_1".
class MainWindow final : public QWidget, public engine::WindowControls {
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

  private:
    void buildControls();
    void buildStatusBar();
    void connectHandlers();
    // Runs an event handler; nothing it throws reaches Qt's event loop.
    void guarded(const char* handler, const std::function<void()>& run);
    QLineEdit* box(engine::TextBox box) const;
    KeptText& kept(engine::TextBox box) { return m_keptTexts[std::size_t(box)]; }
    QProgressBar* barWidget(engine::Bar bar) const;
    void showBarValues();

    std::array<QLabel*, 2> m_Label1{};
    QLineEdit* m_txtVobDir = nullptr;
    QLineEdit* m_txtDest = nullptr;
    std::array<QPushButton*, 2> m_cmdDir{};
    QCheckBox* m_chkAlert = nullptr;
    QPushButton* m_cmdGo = nullptr;
    QPushButton* m_cmdExit = nullptr;
    QListWidget* m_File = nullptr;
    QProgressBar* m_ProgFile = nullptr;
    QProgressBar* m_Prog = nullptr;
    QStatusBar* m_Stat = nullptr;
    std::array<QLabel*, 3> m_panels{};

    std::array<KeptText, 2> m_keptTexts;
    bool m_hourglass = false;
    bool m_sessionEnding = false;
    // The control a job's lock took the focus from, and where the focus went.
    QPointer<QWidget> m_focusGivenUp;
    QPointer<QWidget> m_focusMovedTo;
    unsigned m_pumpCalls = 0;
    QElapsedTimer m_sinceRealPump;
    QElapsedTimer m_sinceBarsShown;
    engine::frmMain m_form;
};

}  // namespace vantrel::ui
