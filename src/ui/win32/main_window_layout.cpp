// The window's controls from the layout table: kinds, captions, places and
// sizes at the window's DPI, tab order, what a screen reader announces and
// the tooltips, fonts and icon.

#include "ui/win32/main_window.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <algorithm>
#include <cstdlib>
#include <tuple>

#include "platform/failure.h"
#include "platform/wide_text.h"
#include "ui/control_values.h"
#include "ui/win32/control_ids.h"
#include "ui/win32/dpi.h"
#include "ui/win32/resource_ids.h"

namespace vantrel::ui::win32 {
namespace {

// What a control of each kind is made of.
struct ControlClass {
    const wchar_t* name;
    DWORD style;
    DWORD exStyle;
};

ControlClass controlClass(const ControlLayout& control) {
    switch (control.kind) {
        case ControlKind::Label:
            // Right-aligned, centred in its height; "&" marks the access key.
            return {WC_STATICW, SS_RIGHT | SS_CENTERIMAGE, 0};
        case ControlKind::TextBox:
            return {WC_EDITW, WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
        case ControlKind::CommandButton:
            return {WC_BUTTONW,
                    DWORD(WS_TABSTOP | BS_NOTIFY |
                          (control.id == kDefaultButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON)),
                    0};
        case ControlKind::CheckBox:
            return {WC_BUTTONW, WS_TABSTOP | BS_AUTOCHECKBOX, 0};
        case ControlKind::FileList:
            return {WC_LISTBOXW, WS_TABSTOP | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, WS_EX_CLIENTEDGE};
        case ControlKind::ProgressBar:
            return {PROGRESS_CLASSW, 0, 0};
        case ControlKind::StatusBar:
            // Placed by the window, not by itself along its parent's edge.
            return {STATUSCLASSNAMEW, CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER, 0};
    }
    throw platform::Failure("a control of no known kind");
}

// Alt with a key is a command in this window, never an edit: a text box would
// take Alt+Backspace as Undo.
LRESULT CALLBACK withoutAltEditing(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                   UINT_PTR, DWORD_PTR) {
    if (message == WM_SYSKEYDOWN && wParam == VK_BACK) return 0;
    return ::DefSubclassProc(window, message, wParam, lParam);
}

std::wstring withoutAccessMark(std::wstring_view caption) {
    std::wstring text;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == L'&' && i + 1 < caption.size()) ++i;
        text += caption[i];
    }
    return text;
}

void move(HWND control, const PixelRect& place) {
    ::SetWindowPos(control, nullptr, place.left, place.top, place.width, place.height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

// In tab order, which is the order the dialog manager follows.
void MainWindow::createControls() {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    for (const ControlLayout& control : kControls) {
        const ControlClass made = controlClass(control);
        const DWORD style = WS_CHILD | made.style | (control.visible ? WS_VISIBLE : 0);
        const std::wstring caption = platform::toWide(std::string(control.caption));
        HWND& handle = m_controls[std::size_t(control.id)];
        handle =
            ::CreateWindowExW(made.exStyle, made.name, caption.c_str(), style, 0, 0, 0, 0, m_window,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId(control.id))),
                              instance, nullptr);
        if (handle == nullptr)
            throw platform::Failure("cannot create the control " + std::string(control.name));
    }
    for (const engine::TextBox which : {engine::TextBox::txtVobDir, engine::TextBox::txtDest})
        ::SetWindowSubclass(box(which), withoutAltEditing, 0, 0);
    for (const engine::Bar bar : {engine::Bar::ProgFile, engine::Bar::Prog})
        ::SendMessageW(barControl(bar), PBM_SETRANGE32, 0, kBarSteps);
    // The classic status bar: its panels sunken, as visual styles would not draw them.
    ::SetWindowTheme(control(ControlId::Stat), L"", L"");
    ::SendMessageW(m_window, DM_SETDEFID, IDOK, 0);

    m_announcer = std::make_unique<ControlAnnouncer>(m_window);
    for (const ControlLayout& control : kControls)
        m_announcer->announce(this->control(control.id), announcementOf(control.id));
    for (int panel = 1; panel <= int(kPanelNames.size()); ++panel)
        m_announcer->announcePanel(control(ControlId::Stat), panel, "");
}

void MainWindow::placeControls(int dpi) {
    LOGFONTW font = messageFont(dpi);
    const HFONT oldFont = std::exchange(m_font, ::CreateFontIndirectW(&font));
    for (const ControlLayout& control : kControls) {
        const HWND handle = this->control(control.id);
        if (control.kind != ControlKind::StatusBar)
            ::SendMessageW(handle, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);
        if (control.kind == ControlKind::Label) continue;  // after its box
        move(handle, toPixels(control.place, dpi));
    }
    for (const ControlLayout& control : kControls)
        if (control.kind == ControlKind::Label) placeLabel(this->control(control.id), control, dpi);

    const HWND status = control(ControlId::Stat);
    RECT bar;
    ::GetClientRect(status, &bar);
    const std::array<int, 3> widths = panelWidths(bar.right, dpi);
    int rightEdges[3] = {widths[0], widths[0] + widths[1], widths[0] + widths[1] + widths[2]};
    ::SendMessageW(status, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(rightEdges));
    m_announcer->placePanelTips(status);
    fitStatusFont(dpi);
    if (oldFont != nullptr) ::DeleteObject(oldFont);

    sizeClientArea(twipsToPixels(kClientWidthTwips, dpi), twipsToPixels(kClientHeightTwips, dpi),
                   dpi);
    loadIcons(dpi);
    ::InvalidateRect(m_window, nullptr, TRUE);
}

// A label is sized to its caption. Where the caption needs more room than its
// place, it grows to the left, never into the box beside it, and evenly up
// and down.
void MainWindow::placeLabel(HWND label, const ControlLayout& control, int dpi) {
    PixelRect place = toPixels(control.place, dpi);
    const std::wstring text = withoutAccessMark(platform::toWide(std::string(control.caption)));
    const HDC context = ::GetDC(label);
    const HGDIOBJ previous = ::SelectObject(context, m_font);
    SIZE needed{};
    ::GetTextExtentPoint32W(context, text.c_str(), int(text.size()), &needed);
    ::SelectObject(context, previous);
    ::ReleaseDC(label, context);

    if (needed.cx > place.width) {
        RECT buddy;
        ::GetWindowRect(this->control(*control.box), &buddy);
        ::MapWindowPoints(nullptr, m_window, reinterpret_cast<POINT*>(&buddy), 2);
        const int right =
            std::min(place.left + place.width, int(buddy.left) - ::MulDiv(3, dpi, 96));
        place.left = right - needed.cx;
        place.width = needed.cx;
    }
    if (needed.cy > place.height) {
        place.top -= (needed.cy - place.height + 1) / 2;
        place.height = needed.cy;
    }
    move(label, place);
}

// The status bar's own font, made smaller when a line of it is taller than
// the inside of a panel, so that descenders and underscores show whole.
void MainWindow::fitStatusFont(int dpi) {
    const HWND status = control(ControlId::Stat);
    RECT panel;
    ::SendMessageW(status, SB_GETRECT, 0, reinterpret_cast<LPARAM>(&panel));
    const int inside = panel.bottom - panel.top - 2;  // within its sunken edge
    LOGFONTW font = statusFont(dpi);
    const HDC context = ::GetDC(status);
    for (;;) {
        const HFONT candidate = ::CreateFontIndirectW(&font);
        const HGDIOBJ previous = ::SelectObject(context, candidate);
        TEXTMETRICW metrics{};
        ::GetTextMetricsW(context, &metrics);
        ::SelectObject(context, previous);
        if (metrics.tmHeight <= inside || std::abs(font.lfHeight) <= 6) {
            if (m_statusFont != nullptr) ::DeleteObject(m_statusFont);
            m_statusFont = candidate;
            break;
        }
        ::DeleteObject(candidate);
        font.lfHeight += font.lfHeight < 0 ? 1 : -1;
    }
    ::ReleaseDC(status, context);
    ::SendMessageW(status, WM_SETFONT, reinterpret_cast<WPARAM>(m_statusFont), TRUE);
}

// The icon in the title bar and the task bar, in the sizes the DPI asks for.
void MainWindow::loadIcons(int dpi) {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    for (auto [which, metric, icon] : {std::tuple{ICON_BIG, SM_CXICON, &m_bigIcon},
                                       std::tuple{ICON_SMALL, SM_CXSMICON, &m_smallIcon}}) {
        const int size = systemMetric(metric, dpi);
        const auto loaded = static_cast<HICON>(
            ::LoadImageW(instance, MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON, size, size, 0));
        if (loaded == nullptr) continue;  // a program without its resources: the tests
        ::SendMessageW(m_window, WM_SETICON, WPARAM(which), reinterpret_cast<LPARAM>(loaded));
        if (*icon != nullptr) ::DestroyIcon(*icon);
        *icon = loaded;
    }
}

}  // namespace vantrel::ui::win32
