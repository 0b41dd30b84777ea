// The engine's control operations on the window's Win32 controls.

#include "ui/win32/main_window.h"

#include <commctrl.h>

#include "platform/failure.h"
#include "platform/wide_text.h"
#include "ui/control_values.h"
#include "ui/win32/control_ids.h"
#include "ui/win32/dpi.h"

namespace vantrel::ui::win32 {
namespace {

std::wstring windowText(HWND window) {
    std::wstring text(std::size_t(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(std::size_t(::GetWindowTextW(window, text.data(), int(text.size()))));
    return text;
}

// A text box's text as the UTF-16 units it counts positions in.
std::u16string_view units(const std::wstring& text) {
    static_assert(sizeof(wchar_t) == sizeof(char16_t));
    return {reinterpret_cast<const char16_t*>(text.data()), text.size()};
}

bool cursorIsOver(HWND window) {
    POINT cursor;
    if (::GetCursorPos(&cursor) == FALSE) return false;
    const HWND under = ::WindowFromPoint(cursor);
    return under == window || ::IsChild(window, under) != FALSE;
}

}  // namespace

HWND MainWindow::box(engine::TextBox which) const {
    return control(which == engine::TextBox::txtVobDir ? ControlId::txtVobDir : ControlId::txtDest);
}

HWND MainWindow::barControl(engine::Bar bar) const {
    return control(bar == engine::Bar::Prog ? ControlId::Prog : ControlId::ProgFile);
}

std::optional<ControlId> MainWindow::focusedControl() const {
    const HWND focus = ::GetFocus();
    for (const ControlLayout& layout : kControls)
        if (focus != nullptr && focus == control(layout.id)) return layout.id;
    return std::nullopt;
}

std::string MainWindow::text(engine::TextBox which) {
    return kept(which).text(platform::toUtf8(windowText(box(which))));
}

void MainWindow::setText(engine::TextBox which, const std::string& text) {
    ::SetWindowTextW(box(which), platform::toWide(text).c_str());
    kept(which).set(text, platform::toUtf8(windowText(box(which))));
}

void MainWindow::setSelStart(engine::TextBox which, int start) {
    const HWND edit = box(which);
    const int position = unitsAfter(units(windowText(edit)), 0, start);
    ::SendMessageW(edit, EM_SETSEL, WPARAM(position), LPARAM(position));
    ::SendMessageW(edit, EM_SCROLLCARET, 0, 0);
}

void MainWindow::setSelLength(engine::TextBox which, int length) {
    const HWND edit = box(which);
    DWORD start = 0;
    ::SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
    const int end = unitsAfter(units(windowText(edit)), int(start), length);
    ::SendMessageW(edit, EM_SETSEL, WPARAM(start), LPARAM(end));
}

void MainWindow::setFocus(engine::TextBox which) {
    ::SetFocus(box(which));
    showDefaultButton();
}

// The focus a job's lock takes from a control stays with the window itself,
// where Esc still presses Exit.
void MainWindow::setEnabled(engine::Input input, bool enabled) {
    const ControlId id = input == engine::Input::txtVobDir ? ControlId::txtVobDir
                         : input == engine::Input::txtDest ? ControlId::txtDest
                                                           : ControlId::cmdGo;
    const HWND target = control(id);
    const bool hadFocus = ::GetFocus() == target;
    ::EnableWindow(target, enabled ? TRUE : FALSE);
    if (!enabled && m_rules.focusGoesToWindow(id, hadFocus)) {
        ::SetFocus(m_window);
        showDefaultButton();
    } else if (enabled && m_rules.focusComesBack(id, ::GetFocus() == m_window)) {
        ::SendMessageW(m_window, WM_NEXTDLGCTL, WPARAM(target), TRUE);
        showDefaultButton();
    }
}

void MainWindow::setVisible(engine::Bar bar, bool visible) {
    showBarValues();
    ::ShowWindow(barControl(bar), visible ? SW_SHOWNA : SW_HIDE);
}

void MainWindow::showBarValues() {
    m_barsShown = Clock::now();
    for (const engine::Bar bar : {engine::Bar::ProgFile, engine::Bar::Prog}) {
        const BarValues& values = barValues(bar);
        const int steps = barSteps(values.min, values.max, values.value);
        int& shown = m_barPositions[std::size_t(bar)];
        if (steps == shown) continue;
        shown = steps;
        ::SendMessageW(barControl(bar), PBM_SETPOS, WPARAM(steps), 0);
    }
}

void MainWindow::setPanelText(int panel, const std::string& text) {
    const std::size_t index = panelIndex(panel);
    const std::wstring wide = platform::toWide(text);
    // Part number and drawing together; 0 draws the panel sunken.
    ::SendMessageW(control(ControlId::Stat), SB_SETTEXTW, WPARAM(index),
                   reinterpret_cast<LPARAM>(wide.c_str()));
    if (m_announcer != nullptr) m_announcer->announcePanel(control(ControlId::Stat), panel, text);
}

void MainWindow::setMousePointer(engine::MousePointer pointer) {
    const bool hourglass = pointer == engine::MousePointer::Hourglass;
    if (hourglass == m_hourglass) return;
    m_hourglass = hourglass;
    // The pointer changes at once, not only when the mouse next moves.
    POINT cursor;
    if (!cursorIsOver(m_window) || ::GetCursorPos(&cursor) == FALSE) return;
    const HWND under = ::WindowFromPoint(cursor);
    ::SendMessageW(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under),
                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
}

int MainWindow::alertValue() {
    switch (::SendMessageW(control(ControlId::chkAlert), BM_GETCHECK, 0, 0)) {
        case BST_CHECKED:
            return engine::kChecked;
        case BST_INDETERMINATE:
            return engine::kGrayed;
        default:
            return engine::kUnchecked;
    }
}

// Grayed is a third state, which only a three-state check box holds.
void MainWindow::setAlertValue(int value) {
    checkedAlertValue(value);
    const HWND check = control(ControlId::chkAlert);
    ::SendMessageW(check, BM_SETSTYLE, value == engine::kGrayed ? BS_AUTO3STATE : BS_AUTOCHECKBOX,
                   FALSE);
    ::SendMessageW(check, BM_SETCHECK,
                   value == engine::kChecked  ? BST_CHECKED
                   : value == engine::kGrayed ? BST_INDETERMINATE
                                              : BST_UNCHECKED,
                   0);
}

void MainWindow::setFileListPath(const std::string& folder) {
    ControlState::setFileListPath(folder);
    const HWND list = control(ControlId::File);
    ::SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const std::string& name : fileListNames())
        ::SendMessageW(list, LB_ADDSTRING, 0,
                       reinterpret_cast<LPARAM>(platform::toWide(name).c_str()));
}

void MainWindow::messageBox(const std::string& prompt, engine::MessageIcon icon,
                            const std::string& title) {
    const UINT shown = icon == engine::MessageIcon::Critical      ? MB_ICONERROR
                       : icon == engine::MessageIcon::Exclamation ? MB_ICONWARNING
                                                                  : MB_ICONINFORMATION;
    ::MessageBoxW(m_window, platform::toWide(prompt).c_str(), platform::toWide(title).c_str(),
                  MB_OK | shown);
}

void MainWindow::beep() { ::MessageBeep(MB_OK); }

void MainWindow::pumpEvents() {
    if (++m_pumpCalls % engine::kPumpCallsPerClockRead == 0) pumpEventsWhileWaiting();
}

void MainWindow::pumpEventsWhileWaiting() {
    const Clock::time_point now = Clock::now();
    if (now - m_lastRealPump < engine::kRealPumpInterval) return;
    m_lastRealPump = now;
    if (now - m_barsShown >= kBarRepaintInterval) showBarValues();
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != FALSE) {
        if (message.message == WM_QUIT) {
            // For the program's own loop, once the job has returned.
            ::PostQuitMessage(int(message.wParam));
            break;
        }
        dispatch(message);
    }
}

void MainWindow::closeWindow() {
    if (m_window != nullptr) ::SendMessageW(m_window, WM_CLOSE, 0, 0);
}

float MainWindow::windowWidth() {
    RECT outer;
    ::GetWindowRect(m_window, &outer);
    return pixelsToTwips(outer.right - outer.left, windowDpi(m_window));
}

float MainWindow::windowHeight() {
    RECT outer;
    ::GetWindowRect(m_window, &outer);
    return pixelsToTwips(outer.bottom - outer.top, windowDpi(m_window));
}

// Setting a size brings a maximised window back to normal first. A size that
// is right already is left alone, which ends the nesting of Form_Resize.
void MainWindow::setWindowWidth(float width) {
    if (::IsZoomed(m_window) != FALSE) ::ShowWindow(m_window, SW_RESTORE);
    RECT outer;
    ::GetWindowRect(m_window, &outer);
    const int pixels = twipsToPixels(width, windowDpi(m_window));
    if (pixels == outer.right - outer.left) return;
    ::SetWindowPos(m_window, nullptr, 0, 0, pixels, outer.bottom - outer.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::setWindowHeight(float height) {
    if (::IsZoomed(m_window) != FALSE) ::ShowWindow(m_window, SW_RESTORE);
    RECT outer;
    ::GetWindowRect(m_window, &outer);
    const int pixels = twipsToPixels(height, windowDpi(m_window));
    if (pixels == outer.bottom - outer.top) return;
    ::SetWindowPos(m_window, nullptr, 0, 0, outer.right - outer.left, pixels,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

engine::WindowState MainWindow::windowState() {
    if (::IsIconic(m_window) != FALSE) return engine::WindowState::Minimized;
    if (::IsZoomed(m_window) != FALSE) return engine::WindowState::Maximized;
    return engine::WindowState::Normal;
}

void MainWindow::sizeClientArea(int width, int height, int dpi) {
    const SIZE outer = outerSize({width, height}, DWORD(::GetWindowLongPtrW(m_window, GWL_STYLE)),
                                 DWORD(::GetWindowLongPtrW(m_window, GWL_EXSTYLE)), dpi);
    ::SetWindowPos(m_window, nullptr, 0, 0, outer.cx, outer.cy,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace vantrel::ui::win32
