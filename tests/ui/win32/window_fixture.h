#pragma once

// The Win32 window in the test's own thread: the keyboard as the dialog
// manager receives it, message boxes answered as a user would.

#include "platform/wide_text.h"
#include "support/window_test.h"
#include "ui/win32/main_window.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <shlobj.h>

#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vantrel::testing {

// Answers every message box the window opens while it lives, as a user
// pressing OK would, and keeps what each said.
class MessageBoxAnswerer {
  public:
    struct Seen {
        std::wstring text, title;
        LPCWSTR icon;  // IDI_ERROR, IDI_WARNING, IDI_INFORMATION or null
    };

    explicit MessageBoxAnswerer(HWND owner) : m_owner(owner) {
        s_current = this;
        m_timer = ::SetTimer(nullptr, 0, USER_TIMER_MINIMUM, onTimer);
    }
    ~MessageBoxAnswerer() {
        ::KillTimer(nullptr, m_timer);
        s_current = nullptr;
    }
    const std::vector<Seen>& seen() const { return m_seen; }

  private:
    static void CALLBACK onTimer(HWND, UINT, UINT_PTR, DWORD) {
        if (s_current != nullptr) ::EnumThreadWindows(::GetCurrentThreadId(), answer, 0);
    }
    static BOOL CALLBACK answer(HWND box, LPARAM) {
        if (::GetWindow(box, GW_OWNER) != s_current->m_owner || !::IsWindowVisible(box))
            return TRUE;
        Seen seen{L"", windowText(box), nullptr};
        ::EnumChildWindows(box, readControl, reinterpret_cast<LPARAM>(&seen));
        s_current->m_seen.push_back(seen);
        ::SendMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(box, IDOK)));
        return TRUE;
    }
    // The box's prompt is its one static text; its icon a static picture.
    static BOOL CALLBACK readControl(HWND control, LPARAM into) {
        auto& seen = *reinterpret_cast<Seen*>(into);
        wchar_t kind[16] = {};
        ::GetClassNameW(control, kind, 16);
        if (std::wstring(kind) != L"Static") return TRUE;
        if (const auto icon = reinterpret_cast<HICON>(::SendMessageW(control, STM_GETICON, 0, 0))) {
            for (const LPCWSTR known : {IDI_ERROR, IDI_WARNING, IDI_INFORMATION})
                if (icon == ::LoadIconW(nullptr, known)) seen.icon = known;
        } else if (seen.text.empty()) {
            seen.text = windowText(control);
        }
        return TRUE;
    }
    static std::wstring windowText(HWND window) {
        wchar_t text[256] = {};
        ::GetWindowTextW(window, text, 256);
        return text;
    }

    static inline MessageBoxAnswerer* s_current = nullptr;
    HWND m_owner;
    UINT_PTR m_timer = 0;
    std::vector<Seen> m_seen;
};

// The Win32 window, its controls found by their names in the layout table.
class Win32WindowTest : public WindowTestBase<ui::win32::MainWindow> {
  protected:
    Win32WindowTest() {
        MSG quit;  // left by the window of an earlier test
        while (::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE) {
        }
    }
    // The control of that name in the layout table.
    HWND control(std::string_view name) const {
        for (const ui::ControlLayout& layout : ui::kControls)
            if (layout.name == name) return window->control(layout.id);
        ADD_FAILURE() << "no control named " << name;
        return nullptr;
    }
    void clickExtract() override { ::SendMessageW(control("cmdGo"), BM_CLICK, 0, 0); }
    bool windowOpen() const override { return window->handle() != nullptr; }

    // Runs what waits in the queue, as the program's loop does.
    void processMessages() {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != FALSE)
            if (message.message != WM_QUIT) window->dispatch(message);
    }
    // A key pressed where the focus is (the window itself when no control has it).
    void press(UINT key) {
        post(WM_KEYDOWN, key);
        processMessages();
    }
    // What a held Enter sends after its first press: the key was down (bit 30).
    void enterRepeated() {
        post(WM_KEYDOWN, VK_RETURN, LPARAM(1) << 30);
        processMessages();
    }
    // Alt with a key: a letter reaches the dialog manager as the character
    // the keyboard makes of it.
    void pressAlt(UINT key) {
        if (key >= 'A' && key <= 'Z') {
            post(WM_SYSCHAR, key + ('a' - 'A'), kAltDown);
        } else {
            post(WM_SYSKEYDOWN, key, kAltDown);
        }
        processMessages();
    }
    void type(wchar_t character) {
        post(WM_CHAR, character);
        processMessages();
    }
    std::string focused() const {
        const HWND focus = ::GetFocus();
        for (const ui::ControlLayout& control : ui::kControls)
            if (focus != nullptr && window->control(control.id) == focus)
                return std::string(control.name);
        return "";
    }
    bool visible(const char* name) const { return ::IsWindowVisible(control(name)) != FALSE; }
    bool enabled(const char* name) const { return ::IsWindowEnabled(control(name)) != FALSE; }
    std::wstring panelText(int panel) const {
        wchar_t text[256] = {};
        ::SendMessageW(control("Stat"), SB_GETTEXTW, WPARAM(panel - 1),
                       reinterpret_cast<LPARAM>(text));
        return text;
    }
    void atNextPump(std::function<void()> action) override {
        s_action = std::move(action);
        ::SetTimer(nullptr, 0, USER_TIMER_MINIMUM, [](HWND, UINT, UINT_PTR timer, DWORD) {
            ::KillTimer(nullptr, timer);
            if (s_action) std::exchange(s_action, nullptr)();
        });
    }

    // A drop as the shell makes one: the names in a DROPFILES block, with
    // where the drop landed in the window's client area.
    void drop(engine::TextBox box, const std::string& path) override {
        RECT place;
        ::GetWindowRect(control(box == engine::TextBox::txtVobDir ? "txtVobDir" : "txtDest"),
                        &place);
        POINT at{(place.left + place.right) / 2, (place.top + place.bottom) / 2};
        ::ScreenToClient(window->handle(), &at);
        const std::wstring name = platform::toWide(path);
        // Zero-filled: the name's end and the list's.
        const HGLOBAL memory =
            ::GlobalAlloc(GHND, sizeof(DROPFILES) + (name.size() + 2) * sizeof(wchar_t));
        auto* dropped = static_cast<DROPFILES*>(::GlobalLock(memory));
        dropped->pFiles = sizeof(DROPFILES);
        dropped->pt = at;
        dropped->fWide = TRUE;
        std::memcpy(dropped + 1, name.data(), name.size() * sizeof(wchar_t));
        ::GlobalUnlock(memory);
        ::SendMessageW(window->handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
    }

  private:
    // Alt is down: bit 29 of a key message, as Windows reads it; Wine's text
    // boxes look at bit 13 as well.
    static constexpr LPARAM kAltDown = (LPARAM(1) << 29) | 0x2000;
    void post(UINT message, WPARAM key, LPARAM flags = 0) {
        const HWND focus = ::GetFocus();
        ::PostMessageW(focus != nullptr ? focus : window->handle(), message, key, 1 | flags);
    }
    static inline std::function<void()> s_action;
};

}  // namespace vantrel::testing
