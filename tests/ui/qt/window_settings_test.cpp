// The real window keeps its settings from one run to the next.

#include <QCheckBox>
#include <QLineEdit>

#include "platform/registry_file_store.h"
#include "window_fixture.h"

namespace vantrel::testing {
namespace {

class WindowSettingsTest : public WindowTest {
  protected:
    WindowSettingsTest() {
        services.registry = &registry;
        window = std::make_unique<ui::MainWindow>(services);
    }
    platform::RegistryFileStore registry{temp / "config/vantrel/registry.reg"};
};

TEST_F(WindowSettingsTest, TheFoldersAndTheAlertComeBackAtTheNextStart) {
    window->start();
    EXPECT_EQ(find<QLineEdit>("txtVobDir")->text().toStdString(), temp.path());
    EXPECT_EQ(find<QLineEdit>("txtDest")->text(), "/");
    EXPECT_EQ(find<QLineEdit>("txtDest")->cursorPosition(), 1);
    EXPECT_EQ(find<QCheckBox>("chkAlert")->checkState(), Qt::Checked);

    find<QLineEdit>("txtVobDir")->setText(QString::fromStdString(source()));
    find<QLineEdit>("txtDest")->setText(QString::fromStdString(destination()));
    window->setAlertValue(engine::kUnchecked);
    window->close();  // by the title bar: saved all the same

    window = std::make_unique<ui::MainWindow>(services);
    window->start();
    EXPECT_EQ(find<QLineEdit>("txtVobDir")->text().toStdString(), source());
    EXPECT_EQ(find<QLineEdit>("txtVobDir")->cursorPosition(), int(source().size()));
    EXPECT_EQ(find<QLineEdit>("txtDest")->text().toStdString(), destination());
    EXPECT_EQ(find<QCheckBox>("chkAlert")->checkState(), Qt::Unchecked);
    EXPECT_FALSE(find<QCheckBox>("chkAlert")->isVisible());
}

// The engine counts characters, Qt UTF-16 units: a disc emoji is one and two.
TEST_F(WindowSettingsTest, TheCaretAndTheSelectionCountCharactersBeyondTheBasicPlane) {
    const QString folder = QString::fromStdString(temp / "\U0001F4C0 disc");  // does not exist
    window->start();
    find<QLineEdit>("txtVobDir")->setText(folder);
    window->close();
    window = std::make_unique<ui::MainWindow>(services);
    window->start();
    auto* box = find<QLineEdit>("txtVobDir");
    EXPECT_EQ(box->cursorPosition(), folder.size()) << "the caret at the end";

    MessageBoxAnswerer answerer;
    find<QPushButton>("cmdGo")->click();  // refused: the whole text selected
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(box->selectedText().toStdString(), folder.toStdString());
}

}  // namespace
}  // namespace vantrel::testing
