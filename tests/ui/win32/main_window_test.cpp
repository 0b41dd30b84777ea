// The Win32 window as the user sees it: the program file's resources, the
// controls in their places at the window's DPI, the keyboard, the fixed size.

#include "window_fixture.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "platform/wide_text.h"
#include "support/program_file.h"
#include "ui/win32/dpi.h"

namespace vantrel::testing {
namespace {

using ui::ControlKind;
using ui::PixelRect;

PixelRect placeIn(HWND parent, HWND control) {
    RECT rect;
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

// The room a label's caption takes in its font, the access key's mark left out.
SIZE captionSize(HWND label) {
    wchar_t caption[64] = {};
    ::GetWindowTextW(label, caption, 64);
    std::wstring text(caption);
    text.erase(text.find(L'&'), 1);
    const HDC context = ::GetDC(label);
    const HGDIOBJ previous =
        ::SelectObject(context, reinterpret_cast<HFONT>(::SendMessageW(label, WM_GETFONT, 0, 0)));
    SIZE size{};
    ::GetTextExtentPoint32W(context, text.c_str(), int(text.size()), &size);
    ::SelectObject(context, previous);
    ::ReleaseDC(label, context);
    return size;
}

SIZE outerSize(HWND window) {
    RECT rect;
    ::GetWindowRect(window, &rect);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

TEST(Win32ProgramFileTest, HoldsItsIconItsManifestAndItsVersion) {
    // The icon group: a count, then an entry of 14 bytes per image, its width
    // first (0 for 256).
    const std::string group = programResource(VANTREL_WINDOW_PATH, RT_GROUP_ICON);
    ASSERT_GE(group.size(), 6u);
    std::vector<int> sizes;
    for (std::size_t entry = 6; entry + 14 <= group.size(); entry += 14)
        sizes.push_back(group[entry] == 0 ? 256 : static_cast<unsigned char>(group[entry]));
    EXPECT_EQ(sizes, (std::vector<int>{16, 32, 48, 256}));
    const std::string manifest = programResource(VANTREL_WINDOW_PATH, RT_MANIFEST);
    for (const char* wanted : {R"(name="Microsoft.Windows.Common-Controls" version="6.0.0.0")",
                               ">PerMonitorV2", R"(level="asInvoker")"})
        EXPECT_NE(manifest.find(wanted), std::string::npos) << wanted;
    EXPECT_EQ(versionText(VANTREL_WINDOW_PATH, "ProductVersion"), VANTREL_VERSION);
    EXPECT_EQ(versionText(VANTREL_WINDOW_PATH, "FileDescription"), "Vantrel Extractor");
}

TEST_F(Win32WindowTest, EveryControlStandsInItsPlaceAtTheWindowsDpi) {
    window->setText(engine::TextBox::txtVobDir, "C:\\dvd");  // as Form_Load leaves it
    window->setSelStart(engine::TextBox::txtVobDir, 6);
    window->start();
    const HWND frame = window->handle();
    const int dpi = ui::win32::windowDpi(frame);
    wchar_t caption[64] = {};
    ::GetWindowTextW(frame, caption, 64);
    EXPECT_EQ(std::wstring(caption), L" Vantrel Extractor");
    RECT client;
    ::GetClientRect(frame, &client);
    EXPECT_EQ(client.right, ui::twipsToPixels(ui::kClientWidthTwips, dpi));
    EXPECT_EQ(client.bottom, ui::twipsToPixels(ui::kClientHeightTwips, dpi));

    const LOGFONTW dialogFont = ui::win32::messageFont(dpi);
    for (const ui::ControlLayout& layout : ui::kControls) {
        const HWND control = window->control(layout.id);
        const std::string name(layout.name);
        EXPECT_EQ(visible(name.c_str()), layout.visible) << name;
        const PixelRect place = placeIn(frame, control), given = ui::toPixels(layout.place, dpi);
        if (layout.kind == ControlKind::Label) {  // sized to its caption, beside its box
            const HWND box = window->control(*layout.box);
            const SIZE needed = captionSize(control);
            EXPECT_GE(place.width, std::max<int>(given.width, needed.cx)) << name;
            EXPECT_GE(place.height, std::max<int>(given.height, needed.cy)) << name;
            EXPECT_LT(place.left + place.width, placeIn(frame, box).left) << name;
        } else {
            EXPECT_EQ(place, given) << name;
        }
        wchar_t text[64] = {};
        ::GetWindowTextW(control, text, 64);
        if (!layout.caption.empty()) {
            EXPECT_EQ(platform::toUtf8(text, std::wcslen(text)), layout.caption) << name;
        }
        if (layout.kind == ControlKind::StatusBar) continue;
        LOGFONTW font{};
        ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)),
                     sizeof font, &font);
        EXPECT_EQ(std::wstring(font.lfFaceName), dialogFont.lfFaceName) << name;
        EXPECT_EQ(font.lfHeight, dialogFont.lfHeight) << name;
    }

    const HWND status = control("Stat");
    int edges[3] = {};
    ASSERT_EQ(::SendMessageW(status, SB_GETPARTS, 3, reinterpret_cast<LPARAM>(edges)), 3);
    const auto widths = ui::panelWidths(client.right, dpi);
    EXPECT_EQ(edges[0], widths[0]);
    EXPECT_EQ(edges[1] - edges[0], widths[1]);
    EXPECT_EQ(edges[2] - edges[1], widths[2]);
    for (int panel = 0; panel < 3; ++panel)
        EXPECT_EQ(::SendMessageW(status, SB_GETTEXTLENGTHW, WPARAM(panel), 0), 0)
            << "empty, drawn sunken";
    EXPECT_EQ(focused(), "txtVobDir");
    DWORD start = 0, end = 0;
    ::SendMessageW(control("txtVobDir"), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                   reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 6u) << "the caret at the end, nothing selected";
    EXPECT_EQ(end, 6u);
    EXPECT_EQ(::GetWindowLongPtrW(control("cmdGo"), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
}

// What a screen reader announces of each control reaches it through Dynamic
// Annotation, which Wine does not keep: its accessible objects answer with
// the captions ("<<"). Sighted users get the same texts as tooltips, which
// the tooltip control shows here.
TEST_F(Win32WindowTest, EveryShownControlSaysWhatItIsInATooltip) {
    window->start();
    HWND toolTips = nullptr;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND candidate, LPARAM found) {
            wchar_t kind[32] = {};
            ::GetClassNameW(candidate, kind, 32);
            if (std::wstring(kind) == TOOLTIPS_CLASSW) *reinterpret_cast<HWND*>(found) = candidate;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&toolTips));
    ASSERT_NE(toolTips, nullptr);
    // The text and the place of the tooltip of `owner`'s tool `id`.
    const auto toolTip = [toolTips](HWND owner, UINT_PTR id) {
        wchar_t text[256] = {};
        TTTOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.hwnd = owner;
        tool.uId = id;
        tool.lpszText = text;
        ::SendMessageW(toolTips, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool));
        return std::pair{std::wstring(text), tool.rect};
    };

    for (const auto& [name, tip] : std::initializer_list<std::pair<const char*, std::wstring>>{
             {"Label1_0", L""},
             {"txtVobDir", L"The folder holding the disc's .VOB, .IFO and .BUP files"},
             {"cmdDir_0", L"Browse for the source folder"},
             {"Label1_1", L""},
             {"txtDest", L"The folder that receives the copy; its old DVD files are deleted first"},
             {"cmdDir_1", L"Browse for the destination folder"},
             {"cmdGo", L"Copy the source's structure without its video into the destination"},
             {"cmdExit", L"Close the window; a running job first stops after the current sector"},
             {"ProgFile", L"Progress of the current file"},
             {"Prog", L"Progress of all files"},
             {"Stat", L""},
         })
        EXPECT_EQ(toolTip(window->handle(), reinterpret_cast<UINT_PTR>(control(name))).first, tip)
            << name;
    const HWND status = control("Stat");
    for (const auto& [part, tip] : std::initializer_list<std::pair<UINT_PTR, std::wstring>>{
             {0, L"Files done"}, {1, L"DVD files"}, {2, L"VOB being scanned"}}) {
        const auto [text, place] = toolTip(status, part);
        EXPECT_EQ(text, tip) << part;
        RECT panel{};
        ::SendMessageW(status, SB_GETRECT, part, reinterpret_cast<LPARAM>(&panel));
        EXPECT_TRUE(::EqualRect(&place, &panel)) << part << ": over its panel";
    }
}

TEST_F(Win32WindowTest, TabAndTheAccessKeysMoveTheFocusAndNoAltKeyEditsAText) {
    window->start();
    std::vector<std::string> order;
    for (int i = 0; i < 6; ++i) {
        press(VK_TAB);
        order.push_back(focused());
    }
    EXPECT_EQ(order, (std::vector<std::string>{"cmdDir_0", "txtDest", "cmdDir_1", "cmdGo",
                                               "cmdExit", "txtVobDir"}));
    pressAlt('D');
    EXPECT_EQ(focused(), "txtDest");
    pressAlt('S');
    EXPECT_EQ(focused(), "txtVobDir");
    pressAlt('A');
    EXPECT_EQ(focused(), "txtVobDir") << "the hidden check box's key does nothing";
    EXPECT_EQ(window->alertValue(), engine::kUnchecked);

    for (const engine::TextBox box : {engine::TextBox::txtVobDir, engine::TextBox::txtDest}) {
        window->setText(box, "C:\\dvd");
        window->setSelStart(box, 6);
        window->setFocus(box);
        type(L'x');  // something Alt+Backspace could undo
        for (const UINT key : {UINT('A'), UINT('Q'), UINT('1'), UINT(VK_BACK)}) pressAlt(key);
        EXPECT_EQ(window->text(box), "C:\\dvdx");
    }
}

TEST_F(Win32WindowTest, EnterPressesExtractOrTheFocusedButtonOncePerPressAndEscapeCloses) {
    window->start();
    {
        MessageBoxAnswerer answerer(window->handle());
        ::SetFocus(control("txtDest"));
        press(VK_RETURN);
        ASSERT_EQ(answerer.seen().size(), 1u);
        EXPECT_EQ(answerer.seen()[0].text, L"Invalid Vob Dir!");
        EXPECT_EQ(answerer.seen()[0].title, L"Error");
        EXPECT_EQ(answerer.seen()[0].icon, IDI_ERROR);
        EXPECT_EQ(focused(), "txtVobDir") << "the refused box gets the focus";

        // A held Enter's repeats press nothing, from a box or from Extract;
        // pressed again, it does.
        for (const char* focus : {"txtVobDir", "cmdGo"}) {
            const std::size_t shown = answerer.seen().size();
            ::SetFocus(control(focus));
            enterRepeated();
            EXPECT_EQ(answerer.seen().size(), shown) << focus;
            press(VK_RETURN);
            EXPECT_EQ(answerer.seen().size(), shown + 1) << focus;
        }

        const std::size_t shown = answerer.seen().size();
        window->setEnabled(engine::Input::cmdGo, false);
        press(VK_RETURN);
        EXPECT_EQ(answerer.seen().size(), shown) << "a disabled Extract is never pressed";
    }
    ::SetFocus(control("cmdExit"));
    press(VK_RETURN);
    EXPECT_EQ(window->handle(), nullptr);

    window = std::make_unique<ui::win32::MainWindow>(services);
    window->start();
    press(VK_ESCAPE);
    EXPECT_EQ(window->handle(), nullptr);
}

TEST_F(Win32WindowTest, TheWindowKeepsItsLoadTimeSize) {
    window->start();
    const HWND frame = window->handle();
    const SIZE size = outerSize(frame);
    const int dpi = ui::win32::windowDpi(frame);
    EXPECT_EQ(window->form().savedWidth, std::lround(ui::pixelsToTwips(size.cx, dpi)));
    EXPECT_EQ(window->form().savedHeight, std::lround(ui::pixelsToTwips(size.cy, dpi)));
    const auto unchanged = [&] {
        processMessages();
        const SIZE now = outerSize(frame);
        return now.cx == size.cx && now.cy == size.cy;
    };
    ::SetWindowPos(frame, nullptr, 0, 0, 800, 600, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_TRUE(unchanged());
    ::ShowWindow(frame, SW_MAXIMIZE);
    EXPECT_TRUE(unchanged());
    EXPECT_FALSE(::IsZoomed(frame));
    ::ShowWindow(frame, SW_MINIMIZE);
    ::ShowWindow(frame, SW_RESTORE);
    EXPECT_TRUE(unchanged());
}

}  // namespace
}  // namespace vantrel::testing
