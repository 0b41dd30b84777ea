// The browse buttons open Qt's own file dialog; a test drives it as a user would.

#include <QFileDialog>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include "ui/qt/ShowDir.h"
#include "window_fixture.h"

namespace vantrel::testing {
namespace {

class ShowDirTest : public WindowTest {
  protected:
    ShowDirTest() {
        services.folderDialog = &showDir;
        window = std::make_unique<ui::MainWindow>(services);
    }
    // Runs `use` on the chooser once it is open, from the chooser's own loop.
    void whenChooserOpens(std::function<void(QFileDialog&)> use) {
        auto* timer = new QTimer(window.get());
        timer->setInterval(10);
        QObject::connect(timer, &QTimer::timeout, [timer, use] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                auto* dialog = qobject_cast<QFileDialog*>(widget);
                if (dialog == nullptr || !dialog->isVisible()) continue;
                timer->stop();
                use(*dialog);
                return;
            }
        });
        timer->start();
    }

    ui::ShowDir showDir;
};

TEST_F(ShowDirTest, TheBrowseButtonOpensTheChooserAtTheFolderAndTakesTheChoice) {
    window->start();
    makeFolder(destination() + "/VIDEO_TS");
    window->setText(engine::TextBox::txtDest, destination());
    QString title, shownFolder;
    bool windowUsable = false, programIcon = false;
    whenChooserOpens([&](QFileDialog& dialog) {
        title = dialog.windowTitle();
        programIcon = isProgramIcon(dialog.windowIcon());
        shownFolder = dialog.directory().absolutePath();
        windowUsable = !dialog.isModal() && dialog.parentWidget() == nullptr &&
                       QApplication::activeModalWidget() == nullptr;
        dialog.selectFile(QString::fromStdString(destination() + "/VIDEO_TS"));
        static_cast<QDialog&>(dialog).accept();  // as the Choose button does
    });
    find<QPushButton>("cmdDir_1")->click();
    EXPECT_EQ(title, "Select folder");
    EXPECT_TRUE(programIcon);
    EXPECT_EQ(shownFolder.toStdString(), destination());
    EXPECT_TRUE(windowUsable) << "the chooser has no owner and blocks nothing";
    EXPECT_EQ(find<QLineEdit>("txtDest")->text().toStdString(), destination() + "/VIDEO_TS");
}

TEST_F(ShowDirTest, ACancelledChooserLeavesTheBoxAlone) {
    window->start();
    window->setText(engine::TextBox::txtVobDir, "  ");
    QString shownFolder;
    whenChooserOpens([&](QFileDialog& dialog) {
        shownFolder = dialog.directory().absolutePath();
        dialog.reject();
    });
    find<QPushButton>("cmdDir_0")->click();
    EXPECT_EQ(shownFolder.toStdString(), temp.path())
        << "a blank source starts at the program folder";
    EXPECT_EQ(find<QLineEdit>("txtVobDir")->text(), "  ");
}

TEST_F(ShowDirTest, AFolderThatCannotBeTestedOpensTheChooserAtTheFallback) {
    window->start();
    window->setText(engine::TextBox::txtVobDir, temp / std::string(300, 'x'));  // name too long
    files.failLookUp = "locked";  // as a folder the user may not enter
    window->setText(engine::TextBox::txtDest, temp / "locked/DVD");
    std::vector<std::string> shownFolders;
    for (const char* button : {"cmdDir_0", "cmdDir_1"}) {
        whenChooserOpens([&](QFileDialog& dialog) {
            shownFolders.push_back(dialog.directory().absolutePath().toStdString());
            dialog.reject();
        });
        find<QPushButton>(button)->click();
    }
    EXPECT_EQ(shownFolders, (std::vector<std::string>{temp.path(), "/"}));
}

}  // namespace
}  // namespace vantrel::testing
