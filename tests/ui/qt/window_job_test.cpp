// A job started from the real window: what the user sees during and after it,
// and the ways to stop it.

#include <unistd.h>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QScreen>
#include <QTest>
#include <csignal>

#include "platform/binary_file.h"
#include "registry/registry_file_store.h"
#include "support/dvd_generator.h"
#include "ui/qt/termination_requests.h"
#include "window_fixture.h"

namespace vantrel::testing {
namespace {

class WindowJobTest : public WindowTest {
  protected:
    void SetUp() override {
        window->start();
        setFolders();
    }
    void expectIdle() {
        EXPECT_FALSE(find<QWidget>("Prog")->isVisible());
        EXPECT_FALSE(find<QWidget>("ProgFile")->isVisible());
        for (const char* panel : {"Stat_Panel1", "Stat_Panel2", "Stat_Panel3"})
            EXPECT_TRUE(find<QLabel>(panel)->text().isEmpty()) << panel;
        for (const char* input : {"txtVobDir", "txtDest", "cmdGo"})
            EXPECT_TRUE(find<QWidget>(input)->isEnabled()) << input;
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        EXPECT_FALSE(window->form().jobRunning());
        EXPECT_EQ(window->form().bCancel, engine::kFalse);
    }
    void expectDoneAlert(const MessageBoxAnswerer& answerer) {
        ASSERT_EQ(answerer.seen().size(), 1u);
        EXPECT_EQ(answerer.seen()[0].text, "Done with coping!");
        EXPECT_EQ(answerer.seen()[0].title, "Done");
        EXPECT_EQ(answerer.seen()[0].icon, QMessageBox::Information);
    }
};

TEST_F(WindowJobTest, AJobShowsItsProgressAndLeavesTheWindowIdle) {
    makeDvdFolder(source(), 2, 40);
    writeLongVob("VTS_02_1.VOB", std::uintmax_t{256} << 20);
    MessageBoxAnswerer answerer;
    bool sawJob = false;
    atNextPump([&] {
        sawJob = find<QWidget>("Prog")->isVisible() && find<QWidget>("ProgFile")->isVisible() &&
                 find<QLabel>("Stat_Panel2")->text() == "8" &&
                 !find<QWidget>("txtVobDir")->isEnabled() && !find<QWidget>("cmdGo")->isEnabled() &&
                 find<QWidget>("cmdExit")->isEnabled() &&
                 QApplication::overrideCursor() != nullptr &&
                 QApplication::overrideCursor()->shape() == Qt::WaitCursor;
    });
    clickExtract();
    EXPECT_TRUE(sawJob);
    for (const char* vob : {"VIDEO_TS.VOB", "VTS_01_1.VOB", "VTS_01_2.VOB", "VTS_02_1.VOB"})
        EXPECT_EQ(readFile(destination() + "/" + vob),
                  expectedNavPacks(readFile(source() + "/" + vob)))
            << vob;
    EXPECT_EQ(readFile(destination() + "/VTS_01_0.IFO"), readFile(source() + "/VTS_01_0.IFO"));
    expectDoneAlert(answerer);
    expectIdle();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->text(engine::TextBox::txtVobDir), source() + "/");
}

TEST_F(WindowJobTest, ADiscRootDroppedOnTheSourceBoxIsReadThroughItsVideoTsFolder) {
    extractFromADroppedDiscRoot();
}

// How much of the bar the window has painted filled: the share of the middle
// row's inner pixels that differ from its empty right end.
double paintedShare(const QImage& window, const QWidget& bar) {
    const QPoint left = bar.mapTo(bar.window(), QPoint(3, bar.height() / 2));
    const int width = bar.width() - 6;
    const QRgb empty = window.pixel(left.x() + width - 1, left.y());
    int filled = 0;
    for (int x = 0; x < width; ++x) filled += window.pixel(left.x() + x, left.y()) != empty;
    return double(filled) / width;
}

// A folder of 54 VOBs of 1.4 GB: the overall bar moves by less than the
// per-file bar's repaints, which touch the row the two bars share.
TEST_F(WindowJobTest, TheOverallBarIsPaintedAsItMovesThroughManyLargeVobs) {
    for (const char* side : {"VIDEO_TS.IFO", "VIDEO_TS.BUP"}) writeFile(source() + "/" + side, "i");
    for (int set = 1; set <= 6; ++set) {
        for (int part = 0; part <= 9; ++part) {
            char name[32];
            std::snprintf(name, sizeof name, "/VTS_%02d_%d.", set, part);
            if (part == 0) {
                writeFile(source() + name + "IFO", "i");
                writeFile(source() + name + "BUP", "i");
            } else {
                writeFile(source() + name + "VOB", makeVob(2, 5, 3));
                ASSERT_EQ(::truncate((source() + name + "VOB").c_str(), 1'400'000'000), 0);
            }
        }
    }
    window->setAlertValue(engine::kUnchecked);
    auto* overall = find<QProgressBar>("Prog");
    double worst = 0;
    int samples = 0;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        const double expected = double(overall->value()) / overall->maximum();
        if (!overall->isVisible() || expected > 0.95) return;
        const QImage shown = window->screen()->grabWindow(window->winId()).toImage();
        worst = std::max(worst, std::abs(paintedShare(shown, *overall) - expected));
        ++samples;
    });
    sampler.start(250);
    find<QPushButton>("cmdGo")->click();
    EXPECT_GT(samples, 10);
    EXPECT_LT(worst, 0.05) << "the bar as painted against its value";
    expectIdle();
}

TEST_F(WindowJobTest, AJobThatLoggedProblemsSaysSoWithAWarning) {
    makeDvdFolder(source(), 1, 10);
    files.failWrite = ".VOB";
    MessageBoxAnswerer answerer;
    find<QPushButton>("cmdGo")->click();
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(answerer.seen()[0].text.toStdString(),
              "Done with coping!\n2 problems were written to " + (temp / "Vantrel.log") + ".");
    EXPECT_EQ(answerer.seen()[0].title, "Done");
    EXPECT_EQ(answerer.seen()[0].icon, QMessageBox::Warning);
    expectIdle();
}

TEST_F(WindowJobTest, EscapeDuringAScanWindsTheJobDownThenClosesTheWindow) {
    MessageBoxAnswerer answerer;
    stopDuringAScan([this] { QTest::keyClick(window.get(), Qt::Key_Escape); });
    expectDoneAlert(answerer);
    expectIdle();
}

// A read the source keeps (a drive retrying a bad spot): the window goes on
// repainting and answers Esc, and the job ends while the read still waits.
TEST_F(WindowJobTest, DuringAReadTheSourceKeepsTheWindowRepaintsAndEscapeEndsTheJob) {
    writeLongVob("VTS_01_1.VOB", std::int64_t{8} << 20);
    files.holdRead = source() + "/VTS_01_1.VOB";
    files.holdReadFrom = std::int64_t(platform::BinaryFile::kBufferSize);
    MessageBoxAnswerer answerer;
    struct PaintCount final : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* event) override {
            paints += event->type() == QEvent::Paint;
            return false;
        }
    } count;
    auto* bar = find<QProgressBar>("ProgFile");
    bar->installEventFilter(&count);
    int paintsBefore = -1;
    bool repainted = false, heldAtEscape = false;
    QTimer user;  // due at every real pump
    QObject::connect(&user, &QTimer::timeout, [&] {
        if (!files.holding()) return;
        if (paintsBefore < 0) {
            paintsBefore = count.paints;
            bar->update();  // as when the window is uncovered
        } else if (!repainted) {
            repainted = count.paints > paintsBefore;
        } else if (!heldAtEscape) {
            heldAtEscape = true;
            QTest::keyClick(window.get(), Qt::Key_Escape);
        }
    });
    user.start(0);
    find<QPushButton>("cmdGo")->click();
    const bool heldAfterTheJob = files.holding();
    files.release();
    EXPECT_TRUE(repainted);
    EXPECT_TRUE(heldAtEscape);
    EXPECT_TRUE(heldAfterTheJob) << "the job ended without waiting for the read";
    EXPECT_EQ(readFile(destination() + "/VTS_01_1.VOB"), expectedNavPacks(makeVob(50, 5, 3)))
        << "the packets found before the read that waits, and the file closed";
    expectDoneAlert(answerer);
    expectIdle();
    EXPECT_FALSE(window->isVisible());
}

TEST_F(WindowJobTest, ClosingByTheTitleBarDuringAJobActsAsExit) {
    window->setAlertValue(engine::kUnchecked);
    stopDuringAScan([this] { window->close(); });
    expectIdle();
}

// SIGTERM as a service manager sends it, in the test's own process, during a
// scan with the alert on: the job winds down, no box waits for a click, the
// window closes and the settings are saved.
TEST_F(WindowJobTest, SigtermDuringAScanWindsTheJobDownWithoutABoxThenClosesAndSaves) {
    writeLongVob("VTS_01_1.VOB", std::int64_t{8} << 30);
    registry::RegistryFileStore registry(temp / "registry.reg");
    services.registry = &registry;
    ui::TerminationRequests::install();
    ui::TerminationRequests requests;
    QObject::connect(&requests, &ui::TerminationRequests::requested, window.get(),
                     &ui::MainWindow::endSession);
    MessageBoxAnswerer answerer;
    atNextPump([] { std::raise(SIGTERM); });
    find<QPushButton>("cmdGo")->click();
    for (const int signalNumber : {SIGTERM, SIGHUP}) std::signal(signalNumber, SIG_DFL);
    EXPECT_EQ(readFile(destination() + "/VTS_01_1.VOB"), expectedNavPacks(makeVob(50, 5, 3)));
    EXPECT_TRUE(answerer.seen().empty()) << answerer.seen()[0].text.toStdString();
    expectIdle();
    EXPECT_FALSE(window->isVisible());
    EXPECT_NE(readText(temp / "registry.reg").find("\"VOBPATH\"=\"" + source() + "/\""),
              std::string::npos)
        << readText(temp / "registry.reg");
}

}  // namespace
}  // namespace vantrel::testing
