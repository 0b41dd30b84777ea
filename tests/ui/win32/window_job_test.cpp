// A job started from the Win32 window: what the user sees during and after
// it, and the ways to stop it.

#include "window_fixture.h"

#include <filesystem>

#include "platform/binary_file.h"
#include "support/counting_chooser.h"
#include "support/dvd_generator.h"

namespace vantrel::testing {
namespace {

class Win32WindowJobTest : public Win32WindowTest {
  protected:
    void SetUp() override {
        window->start();
        setFolders();
    }
    void expectDoneAlert(const MessageBoxAnswerer& answerer) {
        ASSERT_EQ(answerer.seen().size(), 1u);
        EXPECT_EQ(answerer.seen()[0].text, L"Done with coping!");
        EXPECT_EQ(answerer.seen()[0].title, L"Done");
        EXPECT_EQ(answerer.seen()[0].icon, IDI_INFORMATION);
    }
    bool hourglass() {
        const HWND frame = window->handle();
        ::SendMessageW(frame, WM_SETCURSOR, reinterpret_cast<WPARAM>(frame),
                       MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return ::GetCursor() == ::LoadCursorW(nullptr, IDC_WAIT);
    }
    // A long scan stopped the way `stop` does, with the Done alert.
    void stopDuringAScanWithTheAlert(const std::function<void()>& stop) {
        MessageBoxAnswerer answerer(window->handle());
        stopDuringAScan(stop);
        expectDoneAlert(answerer);
    }
};

TEST_F(Win32WindowJobTest, AJobShowsItsProgressAndLeavesTheWindowIdle) {
    makeDvdFolder(source(), 2, 40);
    writeLongVob("VTS_02_1.VOB", std::uintmax_t{256} << 20);
    MessageBoxAnswerer answerer(window->handle());
    bool sawJob = false;
    atNextPump([&] {
        sawJob = visible("Prog") && visible("ProgFile") && panelText(2) == L"8" &&
                 !enabled("txtVobDir") && !enabled("txtDest") && !enabled("cmdGo") &&
                 enabled("cmdExit") && enabled("cmdDir_0") && hourglass();
    });
    clickExtract();
    EXPECT_TRUE(sawJob);
    for (const char* vob : {"VIDEO_TS.VOB", "VTS_01_1.VOB", "VTS_01_2.VOB", "VTS_02_1.VOB"})
        EXPECT_EQ(readFile(destination() + kSep + vob),
                  expectedNavPacks(readFile(source() + kSep + vob)))
            << vob;
    expectDoneAlert(answerer);

    EXPECT_FALSE(visible("Prog"));
    EXPECT_FALSE(visible("ProgFile"));
    for (const int panel : {1, 2, 3}) EXPECT_EQ(panelText(panel), L"") << panel;
    for (const char* input : {"txtVobDir", "txtDest", "cmdGo"}) EXPECT_TRUE(enabled(input));
    EXPECT_FALSE(hourglass());
    EXPECT_FALSE(window->form().jobRunning());
    EXPECT_EQ(window->text(engine::TextBox::txtVobDir), source() + kSep);
}

TEST_F(Win32WindowJobTest, ADiscRootDroppedOnTheSourceBoxIsReadThroughItsVideoTsFolder) {
    extractFromADroppedDiscRoot();
}

TEST_F(Win32WindowJobTest, AfterAJobStartedWithEnterTheFocusIsBackInItsBox) {
    makeDvdFolder(source(), 1, 4);
    window->setAlertValue(engine::kUnchecked);
    ::SetFocus(control("txtDest"));
    press(VK_RETURN);
    ASSERT_TRUE(exists(destination() + kSep + "VTS_01_1.VOB")) << "the job ran";
    EXPECT_EQ(focused(), "txtDest") << "so that the next Enter starts the next job";
}

TEST_F(Win32WindowJobTest, EnterDuringAJobOpensNoBrowser) {
    CountingChooser chooser;
    services.folderDialog = &chooser;
    makeDvdFolder(source(), 1, 4);
    writeLongVob("VTS_01_1.VOB", std::uintmax_t{64} << 20);  // a scan that lasts
    window->setAlertValue(engine::kUnchecked);
    ::SetFocus(control("txtVobDir"));
    bool focusOnTheWindow = false;
    atNextPump([&] {
        focusOnTheWindow = ::GetFocus() == window->handle();
        ::SetFocus(control("cmdDir_0"));
        press(VK_RETURN);  // even where the user tabbed to a browse button
    });
    press(VK_RETURN);
    EXPECT_TRUE(focusOnTheWindow) << "not on a browse button: " << focused();
    EXPECT_EQ(chooser.opened, 0);
    EXPECT_EQ(readFile(destination() + kSep + "VTS_01_1.VOB"), longVobNavPacks())
        << "the job ran to its end";
}

TEST_F(Win32WindowJobTest, EscapeDuringAScanWindsTheJobDownThenClosesTheWindow) {
    stopDuringAScanWithTheAlert([this] {
        ::PostMessageW(::GetFocus(), WM_KEYDOWN, VK_ESCAPE, 1);  // to the focused control
    });
}

TEST_F(Win32WindowJobTest, ClosingByTheTitleBarDuringAScanActsAsExit) {
    stopDuringAScanWithTheAlert(
        [this] { ::SendMessageW(window->handle(), WM_SYSCOMMAND, SC_CLOSE, 0); });
}

// A read the source keeps (a drive retrying a bad spot): the window goes on
// repainting and answers Esc, and the job ends while the read still waits.
TEST_F(Win32WindowJobTest, DuringAReadTheSourceKeepsTheWindowRepaintsAndEscapeEndsTheJob) {
    writeLongVob("VTS_01_1.VOB", std::uintmax_t{8} << 20);
    files.holdRead = source() + kSep + "VTS_01_1.VOB";
    files.holdReadFrom = std::int64_t(platform::BinaryFile::kBufferSize);
    MessageBoxAnswerer answerer(window->handle());
    static std::function<void()> s_tick;
    bool invalidated = false, repainted = false, heldAtEscape = false;
    s_tick = [&] {
        const HWND frame = window->handle();
        if (frame == nullptr || !files.holding()) return;
        if (!invalidated) {
            invalidated = ::InvalidateRect(frame, nullptr, FALSE) != FALSE;  // as when uncovered
        } else if (!repainted) {
            repainted = ::GetUpdateRect(frame, nullptr, FALSE) == FALSE;
        } else if (!heldAtEscape) {
            heldAtEscape = true;
            ::PostMessageW(::GetFocus(), WM_KEYDOWN, VK_ESCAPE, 1);
        }
    };
    const UINT_PTR timer =
        ::SetTimer(nullptr, 0, USER_TIMER_MINIMUM, [](HWND, UINT, UINT_PTR, DWORD) { s_tick(); });
    clickExtract();
    const bool heldAfterTheJob = files.holding();
    files.release();
    ::KillTimer(nullptr, timer);
    s_tick = nullptr;
    EXPECT_TRUE(repainted);
    EXPECT_TRUE(heldAtEscape);
    EXPECT_TRUE(heldAfterTheJob) << "the job ended without waiting for the read";
    EXPECT_EQ(window->handle(), nullptr);
    EXPECT_EQ(readFile(destination() + kSep + "VTS_01_1.VOB"), expectedNavPacks(makeVob(50, 5, 3)))
        << "the packets found before the read that waits, and the file closed";
    expectDoneAlert(answerer);
}

}  // namespace
}  // namespace vantrel::testing
