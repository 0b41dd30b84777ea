// The window as a modeless dialog: its creation, its messages, and the event
// handlers of the window object they lead to.

#include "ui/win32/main_window.h"

#include <commctrl.h>

#include <cstring>
#include <exception>
#include <utility>
#include <vector>

#include "platform/failure.h"
#include "platform/wide_text.h"
#include "ui/win32/control_ids.h"
#include "ui/win32/dpi.h"

namespace vantrel::ui::win32 {
namespace {

// A title bar with the close and minimise buttons, a frame of fixed size.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_APPWINDOW;

// A dialog template without controls (the window makes its own from the
// layout table) in the dialog class, with the window's caption.
std::vector<WORD> dialogTemplate() {
    DLGTEMPLATE header{};
    header.style = kStyle;
    header.dwExtendedStyle = kExStyle;
    std::vector<WORD> words(sizeof header / sizeof(WORD));
    std::memcpy(words.data(), &header, sizeof header);
    words.push_back(0);  // no menu
    words.push_back(0);  // the dialog class
    for (const wchar_t c : std::wstring_view(L" Vantrel Extractor")) words.push_back(WORD(c));
    words.push_back(0);
    return words;
}

// The window whose keys the message filter serves: a hook procedure has no
// context of its own. There is one such window, the program's.
thread_local MainWindow* t_filteredWindow = nullptr;

// A key message's bit 30: the key was already down, the message is a repeat.
constexpr LPARAM kKeyWasDown = LPARAM(1) << 30;

}  // namespace

MainWindow::MainWindow(engine::Services& services)
    : engine::ControlState(services.files), m_form(*this, services) {
    const std::vector<WORD> dialog = dialogTemplate();
    const HWND created = ::CreateDialogIndirectParamW(
        ::GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(dialog.data()), nullptr,
        dialogProcedure, reinterpret_cast<LPARAM>(this));
    if (created == nullptr || m_controls.back() == nullptr) {
        const DWORD error = ::GetLastError();
        if (created != nullptr) ::DestroyWindow(created);
        platform::throwSystemFailure("create", "the window", int(error));
    }
    t_filteredWindow = this;
    m_messageFilter =
        ::SetWindowsHookExW(WH_MSGFILTER, messageFilter, nullptr, ::GetCurrentThreadId());
}

MainWindow::~MainWindow() {
    if (m_messageFilter != nullptr) ::UnhookWindowsHookEx(m_messageFilter);
    if (t_filteredWindow == this) t_filteredWindow = nullptr;
    if (m_window != nullptr) ::DestroyWindow(m_window);
    for (const HGDIOBJ font : {m_font, m_statusFont})
        if (font != nullptr) ::DeleteObject(font);
    for (const HICON icon : {m_bigIcon, m_smallIcon})
        if (icon != nullptr) ::DestroyIcon(icon);
}

void MainWindow::start() {
    m_form.Form_Load();
    m_loaded = true;
    RECT outer;
    ::GetWindowRect(m_window, &outer);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromWindow(m_window, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& area = monitor.rcWork;
    ::SetWindowPos(m_window, nullptr,
                   area.left + (area.right - area.left - (outer.right - outer.left)) / 2,
                   area.top + (area.bottom - area.top - (outer.bottom - outer.top)) / 2, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The dialog manager selects the whole text of the box it first gives the
    // focus to; the caret stays where Form_Load put it.
    const HWND source = box(engine::TextBox::txtVobDir);
    DWORD selectionStart = 0, selectionEnd = 0;
    ::SendMessageW(source, EM_GETSEL, reinterpret_cast<WPARAM>(&selectionStart),
                   reinterpret_cast<LPARAM>(&selectionEnd));
    ::ShowWindow(m_window, SW_SHOW);
    setFocus(engine::TextBox::txtVobDir);
    ::SendMessageW(source, EM_SETSEL, selectionStart, selectionEnd);
}

void MainWindow::dispatch(MSG& message) {
    if (m_window != nullptr) {
        if (isEnterThatPressesNothing(message)) return;
        m_ownFilterCallDue = true;
        const BOOL handled = ::IsDialogMessageW(m_window, &message);
        m_ownFilterCallDue = false;
        if (handled != FALSE) return;
    }
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
}

// Enter that the rules let press a button goes on to the dialog manager,
// which presses the same one: the focused command button, or the default
// button it asks for (DM_GETDEFID).
bool MainWindow::isEnterThatPressesNothing(const MSG& message) const {
    if (message.message != WM_KEYDOWN || message.wParam != VK_RETURN ||
        (message.hwnd != m_window && ::IsChild(m_window, message.hwnd) == FALSE))
        return false;
    return !m_rules.enterPresses(focusedControl(), (message.lParam & kKeyWasDown) != 0);
}

// The modal loop of another dialog (the folder browser, which has no owner
// and leaves this window usable) hands every message to the dialog manager
// of its own dialog only, which shows it to this filter first: this window's
// keys go to this window's dialog manager, so that Tab, Enter and Esc work in
// it all the same. The browser's loop runs inside a click that dispatch()
// handed on, so only the first call after dispatch() is its own.
LRESULT CALLBACK MainWindow::messageFilter(int code, WPARAM wParam, LPARAM lParam) {
    MainWindow* self = t_filteredWindow;
    if (self != nullptr && std::exchange(self->m_ownFilterCallDue, false))
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    const auto* message = reinterpret_cast<MSG*>(lParam);
    if (code == MSGF_DIALOGBOX && self != nullptr && self->m_window != nullptr &&
        (message->hwnd == self->m_window || ::IsChild(self->m_window, message->hwnd) != FALSE)) {
        MSG copy = *message;
        self->dispatch(copy);
        return TRUE;
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

INT_PTR CALLBACK MainWindow::dialogProcedure(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    auto* self = reinterpret_cast<MainWindow*>(::GetWindowLongPtrW(window, DWLP_USER));
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<MainWindow*>(lParam);
        ::SetWindowLongPtrW(window, DWLP_USER, lParam);
        self->m_window = window;
        try {
            self->createControls();
            self->placeControls(windowDpi(window));
            keepOwnLayoutOnDpiChange(window);
            ::DragAcceptFiles(window, TRUE);  // folders dropped on the boxes
        } catch (...) {
            self->m_controls.back() = nullptr;  // the constructor reports it
        }
        return FALSE;  // the focus is set when the window is shown
    }
    if (self == nullptr) return FALSE;
    LRESULT result = 0;
    bool handled = false;
    // Nothing a message's handling throws reaches the system's message loop:
    // the message is then left to the dialog's default handling.
    self->guarded("a window message",
                  [&] { handled = self->handleMessage(message, wParam, lParam, result); });
    if (!handled) return FALSE;
    ::SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
    return TRUE;
}

bool MainWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
        case WM_COMMAND:
            onCommand(LOWORD(wParam), HIWORD(wParam));
            return true;
        case DM_GETDEFID:
            result =
                MAKELRESULT(controlId(WindowRules::defaultButton(focusedControl())), DC_HASDEFID);
            return true;
        case WM_CLOSE:
            onClose();
            return true;
        case WM_DROPFILES:
            onDropFiles(reinterpret_cast<HDROP>(wParam));
            return true;
        case WM_SETFOCUS:
            // Kept by the window itself, not handed on to its first control.
            return m_rules.windowKeepsFocus();
        case WM_SIZE:
            if (m_loaded) guarded("Form_Resize", [this] { m_form.Form_Resize(); });
            return true;
        case WM_SETCURSOR:
            // The hourglass over the whole window, its controls included.
            if (!m_hourglass || LOWORD(lParam) != HTCLIENT) return false;
            ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
            result = TRUE;
            return true;
        case WM_DPICHANGED: {
            const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
            placeControls(HIWORD(wParam));
            ::SetWindowPos(m_window, nullptr, suggested.left, suggested.top, 0, 0,
                           SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            return true;
        }
        case WM_SETTINGCHANGE:
            if (wParam == SPI_SETNONCLIENTMETRICS) placeControls(windowDpi(m_window));
            return false;
        case WM_ENDSESSION:
            // The system ends the program: a job stops where it is, the settings are kept.
            if (wParam == FALSE) return true;
            m_form.cancelJob();
            unload();
            return true;
        case WM_DESTROY:
            m_announcer.reset();  // while the controls are there
            ::PostQuitMessage(0);
            return false;
        case WM_NCDESTROY:
            m_window = nullptr;
            m_controls.fill(nullptr);
            return false;
        default:
            return false;
    }
}

void MainWindow::onCommand(int id, int code) {
    if (code == BN_SETFOCUS || code == EN_SETFOCUS) {
        showDefaultButton();
        return;
    }
    if (code != BN_CLICKED) return;
    if (id == IDOK) {
        // Enter reaches a disabled Extract too, by other ways than its button.
        if (::IsWindowEnabled(control(kDefaultButton)))
            guarded("cmdGo_Click", [this] { m_form.cmdGo_Click(); });
    } else if (id == IDCANCEL) {
        guarded("cmdExit_Click", [this] { m_form.cmdExit_Click(); });
    } else {
        for (std::int16_t index = 0; index < 2; ++index)
            if (id == controlId(kCmdDir[std::size_t(index)]))
                guarded("cmdDir_Click", [this, index] { m_form.cmdDir_Click(index); });
    }
}

// Every close that goes through saves the settings.
void MainWindow::onClose() {
    if (m_rules.closeActsAsExit()) {
        guarded("cmdExit_Click", [this] { m_form.cmdExit_Click(); });
        return;
    }
    unload();
    ::DestroyWindow(m_window);
}

void MainWindow::unload() {
    if (std::exchange(m_unloaded, true)) return;
    guarded("Form_Unload", [this] { m_form.Form_Unload(); });
}

void MainWindow::guarded(const char* handler, const std::function<void()>& run) {
    try {
        run();
    } catch (const std::exception& failure) {
        ::OutputDebugStringW(
            platform::toWide(std::string(handler) + ": " + failure.what()).c_str());
    } catch (...) {
        ::OutputDebugStringW(platform::toWide(std::string(handler) + " failed").c_str());
    }
}

// The button Enter presses is drawn as the default one.
void MainWindow::showDefaultButton() {
    const HWND pressed = control(WindowRules::defaultButton(focusedControl()));
    for (const ControlLayout& button : kControls) {
        if (button.kind != ControlKind::CommandButton) continue;
        const HWND handle = control(button.id);
        const LONG_PTR type = handle == pressed ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        if ((::GetWindowLongPtrW(handle, GWL_STYLE) & BS_TYPEMASK) != type)
            ::SendMessageW(handle, BM_SETSTYLE, WPARAM(type), TRUE);
    }
}

}  // namespace vantrel::ui::win32
