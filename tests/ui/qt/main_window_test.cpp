// The window as the user sees it: controls in their places, the keyboard, the
// fixed size.

#include <QAbstractButton>
#include <QAccessible>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include "platform/failure.h"
#include "support/counting_chooser.h"
#include "support/dvd_generator.h"
#include "ui/qt/twips.h"
#include "ui/window_layout.h"
#include "window_fixture.h"

namespace vantrel::testing {
namespace {

using ui::twipsRect;

class MainWindowTest : public WindowTest {
  protected:
    void startActive() {
        window->start();
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    QString focused() const {
        return window->focusWidget() ? window->focusWidget()->objectName() : "";
    }
    QWidget* focusOrWindow() const {
        return QApplication::focusWidget() ? QApplication::focusWidget() : window.get();
    }
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(focusOrWindow(), Qt::Key(key), modifiers);
    }
    // What a held Enter sends after its first press, as long as it is held.
    void enterRepeated() {
        QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r", true);
        QApplication::sendEvent(focusOrWindow(), &repeat);
    }
};

TEST_F(MainWindowTest, EveryControlStandsInItsPlace) {
    EXPECT_EQ(window->objectName(), "frmMain");
    EXPECT_EQ(window->windowTitle(), " Vantrel Extractor");
    EXPECT_EQ(window->size(), QSize(475, 187));
    for (const ui::ControlLayout& layout : ui::kControls) {
        const std::string name(layout.name);
        auto* control = find<QWidget>(name.c_str());
        EXPECT_EQ(!control->isHidden(), layout.visible) << name;
        const QRect given =
            twipsRect(layout.place.left, layout.place.top, layout.place.width, layout.place.height);
        if (layout.kind == ui::ControlKind::Label) {  // sized to its caption, beside its box
            const std::string box(ui::layoutOf(*layout.box).name);
            EXPECT_EQ(control->y(), given.y()) << name;
            EXPECT_EQ(control->height(), given.height()) << name;
            EXPECT_GE(control->width(), control->sizeHint().width()) << name;
            EXPECT_LT(control->geometry().right(), find<QWidget>(box.c_str())->x()) << name;
        } else {
            EXPECT_EQ(control->geometry(), given) << name;
        }
        QString caption;
        if (auto* label = qobject_cast<QLabel*>(control)) caption = label->text();
        if (auto* button = qobject_cast<QAbstractButton*>(control)) caption = button->text();
        EXPECT_EQ(caption.toStdString(), layout.caption) << name;
    }
    EXPECT_FALSE(find<QProgressBar>("Prog")->isTextVisible());
    EXPECT_EQ(find<QProgressBar>("Prog")->orientation(), Qt::Horizontal);
}

// What a screen reader hears of each shown control, through Qt's
// accessibility interface: its kind, its name and, where it helps, what it
// does, which sighted users get as its tooltip. The captions stay (above).
TEST_F(MainWindowTest, AScreenReaderHearsWhatEachControlIs) {
    struct Heard {
        const char* control;
        QAccessible::Role role;
        QString name, description;
    };
    const QString sourceBrowse = "Browse for the source folder",
                  destinationBrowse = "Browse for the destination folder",
                  perFile = "Progress of the current file", overall = "Progress of all files";
    for (const Heard& heard : std::initializer_list<Heard>{
             {"Label1_0", QAccessible::StaticText, "Source:", ""},
             {"txtVobDir", QAccessible::EditableText, "Source folder",
              "The folder holding the disc's .VOB, .IFO and .BUP files"},
             {"cmdDir_0", QAccessible::Button, sourceBrowse, sourceBrowse},
             {"Label1_1", QAccessible::StaticText, "Destination:", ""},
             {"txtDest", QAccessible::EditableText, "Destination folder",
              "The folder that receives the copy; its old DVD files are deleted first"},
             {"cmdDir_1", QAccessible::Button, destinationBrowse, destinationBrowse},
             {"cmdGo", QAccessible::Button, "Extract",
              "Copy the source's structure without its video into the destination"},
             {"cmdExit", QAccessible::Button, "Exit",
              "Close the window; a running job first stops after the current sector"},
             {"ProgFile", QAccessible::ProgressBar, perFile, perFile},
             {"Prog", QAccessible::ProgressBar, overall, overall},
             {"Stat", QAccessible::StatusBar, "Job status", ""},
             {"Stat_Panel1", QAccessible::StaticText, "Files done", "Files done"},
             {"Stat_Panel2", QAccessible::StaticText, "DVD files", "DVD files"},
             {"Stat_Panel3", QAccessible::StaticText, "VOB being scanned", "VOB being scanned"},
         }) {
        auto* widget = find<QWidget>(heard.control);
        QAccessibleInterface* control = QAccessible::queryAccessibleInterface(widget);
        ASSERT_NE(control, nullptr) << heard.control;
        EXPECT_EQ(control->role(), heard.role) << heard.control;
        EXPECT_EQ(control->text(QAccessible::Name), heard.name) << heard.control;
        EXPECT_EQ(control->text(QAccessible::Description), heard.description) << heard.control;
        EXPECT_EQ(widget->toolTip(), heard.description) << heard.control;
    }
    // A panel's text follows its name.
    const auto panelName = [this](const char* panel) {
        return QAccessible::queryAccessibleInterface(find<QWidget>(panel))->text(QAccessible::Name);
    };
    window->setPanelText(1, "12");
    window->setPanelText(3, "VTS_01_1.VOB");
    EXPECT_EQ(panelName("Stat_Panel1"), "Files done: 12");
    EXPECT_EQ(panelName("Stat_Panel3"), "VOB being scanned: VTS_01_1.VOB");
    window->setPanelText(1, "");
    EXPECT_EQ(panelName("Stat_Panel1"), "Files done");
}

TEST_F(MainWindowTest, TheProgramsIconIsInTheProgramFileAndOnTheWindowAndItsMessages) {
    const std::string image = readText(VANTREL_ICON_DIR "/vantrel-32.png");
    ASSERT_FALSE(image.empty());
    EXPECT_NE(readText(VANTREL_WINDOW_PATH).find(image), std::string::npos)
        << "the program file holds the icon";
    EXPECT_TRUE(isProgramIcon(window->windowIcon()));
    startActive();
    MessageBoxAnswerer answerer;
    find<QPushButton>("cmdGo")->click();
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_TRUE(answerer.seen()[0].programIcon);
}

TEST_F(MainWindowTest, AtStartTheBarsAndHiddenControlsAreNotShownAndThePanelsAreEmpty) {
    startActive();
    for (const char* hidden : {"chkAlert", "File", "ProgFile", "Prog"})
        EXPECT_FALSE(find<QWidget>(hidden)->isVisible()) << hidden;
    for (const char* shown : {"Label1_0", "txtVobDir", "cmdDir_0", "Label1_1", "txtDest",
                              "cmdDir_1", "cmdGo", "cmdExit", "Stat"})
        EXPECT_TRUE(find<QWidget>(shown)->isVisible()) << shown;
    const auto panels = find<QStatusBar>("Stat")->findChildren<QLabel*>();
    ASSERT_EQ(panels.size(), 3);
    for (QLabel* panel : panels) {
        EXPECT_TRUE(panel->text().isEmpty());
        EXPECT_EQ(panel->frameShadow(), QFrame::Sunken);
    }
    EXPECT_EQ(find<QLabel>("Stat_Panel1")->width(), 63);
    EXPECT_EQ(find<QLabel>("Stat_Panel2")->width(), 63);
    EXPECT_GE(find<QLabel>("Stat_Panel3")->width(), 300) << "the last panel takes the rest";
    EXPECT_EQ(focused(), "txtVobDir");
}

// Also run with QT_SCALE_FACTOR=2.
TEST_F(MainWindowTest, StatusTextsShowWhole) {
    const QFont platformFont = QApplication::font();
    for (const int points : {0, 16}) {  // 0: the platform's font; 16: a user's large one
        if (points > 0) {
            QApplication::setFont(QFont(platformFont.family(), points));
            window = std::make_unique<ui::MainWindow>(services);
        }
        const QRect bar = find<QStatusBar>("Stat")->rect();
        for (const auto& [number, text] :
             {std::pair{1, "9999"}, std::pair{2, "9999"}, std::pair{3, "VTS_01_1.VOB"}}) {
            window->setPanelText(number, text);
            auto* panel = find<QLabel>(qPrintable(QString("Stat_Panel%1").arg(number)));
            const QRect inside = panel->contentsRect();
            const QRect drawn =
                panel->fontMetrics().boundingRect(inside, int(panel->alignment()), panel->text());
            EXPECT_TRUE(inside.contains(drawn)) << number << " at " << points;
            EXPECT_TRUE(bar.contains(panel->geometry())) << number;
        }
    }
    QApplication::setFont(platformFont);
}

TEST_F(MainWindowTest, TabCyclesThroughTheSixControlsThatTakeFocus) {
    startActive();
    QStringList order;
    for (int i = 0; i < 6; ++i) {
        press(Qt::Key_Tab);
        order << focused();
    }
    EXPECT_EQ(order,
              (QStringList{"cmdDir_0", "txtDest", "cmdDir_1", "cmdGo", "cmdExit", "txtVobDir"}));
}

TEST_F(MainWindowTest, AccessKeysFocusTheBoxesAndPressTheButtons) {
    startActive();
    press(Qt::Key_D, Qt::AltModifier);
    EXPECT_EQ(focused(), "txtDest");
    press(Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(focused(), "txtVobDir");
    press(Qt::Key_A, Qt::AltModifier);
    EXPECT_EQ(focused(), "txtVobDir") << "the hidden check box's key does nothing";
    EXPECT_EQ(find<QCheckBox>("chkAlert")->checkState(), Qt::Unchecked);

    // A button's access key presses it the way a click does, a moment later.
    MessageBoxAnswerer answerer;
    press(Qt::Key_E, Qt::AltModifier);  // Extract with empty boxes
    QTest::qWait(300);
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(answerer.seen()[0].text, "Invalid Vob Dir!");
    QApplication::setActiveWindow(window.get());  // no window manager here to give it back
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    press(Qt::Key_X, Qt::AltModifier);
    QTest::qWait(300);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindowTest, NoOtherAltKeyChangesAFolderText) {
    startActive();
    for (const char* name : {"txtVobDir", "txtDest"}) {
        auto* box = find<QLineEdit>(name);
        box->setFocus();
        box->setText("/dvd");
        press(Qt::Key_X);  // something Alt+Backspace could undo
        for (const int key : {Qt::Key_A, Qt::Key_Q, Qt::Key_1, Qt::Key_Space, Qt::Key_Backspace})
            press(key, Qt::AltModifier);
        EXPECT_EQ(box->text().toStdString(), "/dvdx") << name;
    }
}

TEST_F(MainWindowTest, EnterStartsTheJobFromEitherBoxOncePerPress) {
    startActive();
    MessageBoxAnswerer answerer;
    find<QLineEdit>("txtDest")->setFocus();
    press(Qt::Key_Return);
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(answerer.seen()[0].text, "Invalid Vob Dir!");
    EXPECT_EQ(answerer.seen()[0].title, "Error");
    EXPECT_EQ(answerer.seen()[0].icon, QMessageBox::Critical);
    EXPECT_EQ(focused(), "txtVobDir") << "the refused box gets the focus";

    // A held Enter's repeats press nothing, from a box, from Extract or from
    // the window itself; pressed again, it does.
    for (QWidget* focus : {find<QWidget>("txtVobDir"), find<QWidget>("cmdGo"),
                           static_cast<QWidget*>(window.get())}) {
        const std::size_t shown = answerer.seen().size();
        focus->setFocus();
        enterRepeated();
        EXPECT_EQ(answerer.seen().size(), shown) << focus->objectName().toStdString();
        press(Qt::Key_Return);
        EXPECT_EQ(answerer.seen().size(), shown + 1) << focus->objectName().toStdString();
    }

    const std::size_t shown = answerer.seen().size();
    window->setEnabled(engine::Input::cmdGo, false);
    press(Qt::Key_Enter);
    EXPECT_EQ(answerer.seen().size(), shown) << "a disabled Extract is never pressed";
}

TEST_F(MainWindowTest, AfterAJobStartedWithEnterTheFocusIsBackInItsBox) {
    startActive();
    makeDvdFolder(source(), 1, 4);
    setFolders(engine::kUnchecked);
    find<QLineEdit>("txtVobDir")->setFocus();
    press(Qt::Key_Return);
    ASSERT_TRUE(exists(destination() + "/VTS_01_1.VOB")) << "the job ran";
    EXPECT_EQ(focused(), "txtVobDir") << "so that the next Enter starts the next job";
}

TEST_F(MainWindowTest, EnterDuringAJobOpensNoBrowser) {
    CountingChooser chooser;
    services.folderDialog = &chooser;
    startActive();
    makeDvdFolder(source(), 1, 4);
    writeLongVob("VTS_01_1.VOB", std::uintmax_t{64} << 20);
    setFolders(engine::kUnchecked);
    find<QLineEdit>("txtVobDir")->setFocus();
    std::string focusDuringJob = "?";
    QTimer::singleShot(0, window.get(), [&] {
        focusDuringJob = focused().toStdString();
        find<QPushButton>("cmdDir_0")->setFocus();
        press(Qt::Key_Return);  // even where the user tabbed to a browse button
    });
    press(Qt::Key_Return);
    EXPECT_EQ(focusDuringJob, "frmMain") << "the window itself, not a browse button";
    EXPECT_EQ(chooser.opened, 0);
    EXPECT_EQ(readFile(destination() + "/VTS_01_1.VOB"), longVobNavPacks())
        << "the job ran to its end";
}

TEST_F(MainWindowTest, EnterOnAnotherButtonPressesThatButton) {
    startActive();
    find<QPushButton>("cmdExit")->setFocus();
    press(Qt::Key_Return);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindowTest, EscapeClosesTheIdleWindow) {
    startActive();
    press(Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindowTest, TheWindowKeepsItsLoadTimeSize) {
    startActive();
    const QSize size(475, 187);
    EXPECT_EQ(window->form().savedWidth, (475 + 8) * 15);
    EXPECT_EQ(window->form().savedHeight, (187 + 30) * 15);
    window->resize(600, 400);
    EXPECT_EQ(window->size(), size);
    window->showMaximized();
    QTest::qWait(20);
    EXPECT_EQ(window->size(), size);
    EXPECT_FALSE(window->isMaximized());
    window->showMinimized();
    QTest::qWait(20);
    window->showNormal();
    QTest::qWait(20);
    EXPECT_EQ(window->size(), size);
    // The rule itself, with the size fixed nowhere else.
    window->setMinimumSize(0, 0);
    window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    window->resize(300, 100);
    EXPECT_EQ(window->size(), size);
}

TEST_F(MainWindowTest, TheAlertCheckBoxTakesItsThreeValuesOnly) {
    window->setAlertValue(engine::kChecked);
    EXPECT_EQ(window->alertValue(), engine::kChecked);
    window->setAlertValue(engine::kGrayed);
    EXPECT_EQ(window->alertValue(), engine::kGrayed);
    EXPECT_THROW(window->setAlertValue(7), platform::Failure);
    EXPECT_EQ(window->alertValue(), engine::kGrayed);
}

}  // namespace
}  // namespace vantrel::testing
