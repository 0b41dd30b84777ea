#pragma once

#include <windows.h>

#include <shellapi.h>  // after windows.h, which it needs

#include <array>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "engine/control_state.h"
#include "engine/frmMain.h"
#include "ui/kept_text.h"
#include "ui/win32/control_announcer.h"
#include "ui/window_layout.h"
#include "ui/window_rules.h"

namespace vantrel::ui::win32 {

// The program's one window on the Windows API: a modeless dialog, so that the
// dialog manager gives it the keyboard of any Windows dialog (the tab cycle,
// Enter for the default button, Esc for the cancel button, the access keys),
// with the controls of the layout table placed by the window's DPI and the
// engine's Controls carried out on them.
class MainWindow final : public engine::ControlState {
  public:
    explicit MainWindow(engine::Services& services);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    engine::frmMain& form() { return m_form; }
    // Null once the window is closed.
    HWND handle() const { return m_window; }
    HWND control(ControlId id) const { return m_controls[std::size_t(id)]; }
    // Form_Load, then the window shown centred with the focus in the source box.
    void start();
    // Hands a message of the thread's queue to the dialog manager, or to its
    // window when the dialog manager does not take it.
    void dispatch(MSG& message);

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

  private:
    using Clock = std::chrono::steady_clock;

    static INT_PTR CALLBACK dialogProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);
    static LRESULT CALLBACK messageFilter(int code, WPARAM wParam, LPARAM lParam);
    bool isEnterThatPressesNothing(const MSG& message) const;
    // True when the message is handled; `result` is then its answer.
    bool handleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void onCommand(int id, int code);
    void onClose();
    void onDropFiles(HDROP drop);
    void onDestroyed();
    void unload();
    // Runs an event handler; nothing it throws reaches the system.
    void guarded(const char* handler, const std::function<void()>& run);

    void createControls();
    // Fonts, places and the client area's size for the window's DPI.
    void placeControls(int dpi);
    void placeLabel(HWND label, const ControlLayout& control, int dpi);
    void fitStatusFont(int dpi);
    // The control that has the focus; none when the window itself or no
    // control of it has it.
    std::optional<ControlId> focusedControl() const;
    void showDefaultButton();
    void loadIcons(int dpi);

    HWND box(engine::TextBox box) const;
    // The folder box at `point` of the client area, enabled or not.
    std::optional<engine::TextBox> boxAt(POINT point) const;
    KeptText& kept(engine::TextBox box) { return m_keptTexts[std::size_t(box)]; }
    HWND barControl(engine::Bar bar) const;
    void showBarValues();
    // The outer size for a client area of that many pixels.
    void sizeClientArea(int width, int height, int dpi);

    HWND m_window = nullptr;
    HHOOK m_messageFilter = nullptr;
    // dispatch() has handed a message to the dialog manager, which shows it
    // to the message filter first.
    bool m_ownFilterCallDue = false;
    std::array<HWND, kControls.size()> m_controls{};
    std::unique_ptr<ControlAnnouncer> m_announcer;
    HFONT m_font = nullptr;
    HFONT m_statusFont = nullptr;
    HICON m_bigIcon = nullptr;
    HICON m_smallIcon = nullptr;
    std::array<int, 2> m_barPositions{};
    std::array<KeptText, 2> m_keptTexts;
    bool m_hourglass = false;
    WindowRules m_rules{[this] { return m_form.jobRunning(); }};
    bool m_loaded = false;  // Form_Load has run: the size it took is the one to keep
    bool m_unloaded = false;
    unsigned m_pumpCalls = 0;
    Clock::time_point m_lastRealPump{};
    Clock::time_point m_barsShown{};
    engine::frmMain m_form;
};

}  // namespace vantrel::ui::win32
