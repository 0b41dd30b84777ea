// The real window keeps its settings from one run to the next.

#include <QCheckBox>
#include <QLineEdit>

#include "registry/registry_constants.h"
#include "registry/registry_file_store.h"
#include "support/dvd_generator.h"
#include "window_fixture.h"

namespace vantrel::testing {
namespace {

constexpr const char* kSettingsKey = "SOFTWARE\\TORVELLANCE\\Vantrel";

class WindowSettingsTest : public WindowTest {
  protected:
    WindowSettingsTest() {
        services.registry = &registry;
        window = std::make_unique<ui::MainWindow>(services);
    }
    registry::RegistryFileStore registry{temp / "config/vantrel/registry.reg"};
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

// A stored folder text the box cannot show as it is (a name that is not UTF-8,
// a text longer than a box holds) is used and saved back byte for byte, until
// the user edits the box.
TEST_F(WindowSettingsTest, StoredFolderTextsAreKeptByteForByteUntilEdited) {
    const std::string notUtf8 = temp / "caf\xe9";  // Latin-1, as an old system named it
    const std::string tooLong = "/" + std::string(40000, 'x');
    makeDvdFolder(notUtf8, 1, 4);
    const auto store = [&](const char* name, const std::string& text) {
        registry::HKEY key = registry::kNullKey;
        ASSERT_EQ(registry.RegCreateKeyA(registry::HKEY_LOCAL_MACHINE, kSettingsKey, key), 0);
        ASSERT_EQ(registry.RegSetValueExA(key, name, registry::REG_SZ,
                                          reinterpret_cast<const unsigned char*>(text.data()),
                                          std::uint32_t(text.size())),
                  0);
        registry.RegCloseKey(key);
    };
    const auto stored = [&](const char* name) {
        registry::HKEY key = registry::kNullKey;
        registry.RegOpenKeyA(registry::HKEY_LOCAL_MACHINE, kSettingsKey, key);
        std::string text(65536, '\0');
        std::uint32_t size = std::uint32_t(text.size());
        registry.RegQueryValueExA(key, name, nullptr, reinterpret_cast<unsigned char*>(text.data()),
                                  &size);
        registry.RegCloseKey(key);
        return text.substr(0, size);
    };
    store("VOBPATH", notUtf8);
    store("DESTPATH", tooLong);
    window->start();
    EXPECT_TRUE(find<QLineEdit>("txtVobDir")->text().endsWith(QChar(0xFFFD)))
        << "shown as a file manager shows it";
    window->close();
    EXPECT_EQ(stored("VOBPATH"), notUtf8);
    EXPECT_EQ(stored("DESTPATH"), tooLong);

    window = std::make_unique<ui::MainWindow>(services);
    window->start();
    window->setText(engine::TextBox::txtDest, destination());
    window->setAlertValue(engine::kUnchecked);
    MessageBoxAnswerer answerer;
    find<QPushButton>("cmdGo")->click();
    EXPECT_TRUE(answerer.seen().empty()) << "no \"Invalid Vob Dir!\"";
    EXPECT_TRUE(exists(destination() + "/VTS_01_1.VOB")) << "the job read the folder it names";
    find<QLineEdit>("txtDest")->setText("/edited");  // as the user types
    window->close();
    EXPECT_EQ(stored("VOBPATH"), notUtf8 + "/");
    EXPECT_EQ(stored("DESTPATH"), "/edited");
}

}  // namespace
}  // namespace vantrel::testing
