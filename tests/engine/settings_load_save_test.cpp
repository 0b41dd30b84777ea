// The settings at load and at unload: defaults, what the store holds, what a
// damaged value does, and what is written back.

#include <gtest/gtest.h>

#include "registry/registry_constants.h"
#include "registry/registry_file_store.h"
#include "support/test_bed.h"

namespace vantrel::testing {
namespace {

using engine::TextBox;
using registry::HKEY_LOCAL_MACHINE;

constexpr const char* kKey = "SOFTWARE\\TORVELLANCE\\Vantrel";

class SettingsTest : public ::testing::Test {
  protected:
    SettingsTest() { bed.services.registry = &registry; }
    std::string storePath() const { return bed.temp / "config/vantrel/registry.reg"; }
    void store(const std::string& name, std::uint32_t type, const std::string& bytes) {
        registry::HKEY key = registry::kNullKey;
        ASSERT_EQ(registry.RegCreateKeyA(HKEY_LOCAL_MACHINE, kKey, key), 0);
        ASSERT_EQ(registry.RegSetValueExA(key, name, type,
                                          reinterpret_cast<const unsigned char*>(bytes.data()),
                                          std::uint32_t(bytes.size())),
                  0);
        registry.RegCloseKey(key);
    }
    std::string& box(TextBox which) { return bed.window.texts[which]; }

    DiskTestBed bed;
    registry::RegistryFileStore registry{storePath()};
};

TEST_F(SettingsTest, WithoutAStoreTheDefaultsAreShownAndNothingIsWritten) {
    bed.form.Form_Load();
    EXPECT_EQ(box(TextBox::txtVobDir), bed.temp.path()) << "the program folder";
    EXPECT_EQ(box(TextBox::txtDest), "/");
    EXPECT_EQ(bed.window.alert, engine::kChecked);
    EXPECT_EQ(bed.window.selections[TextBox::txtVobDir].start, int(bed.temp.path().size()));
    EXPECT_EQ(bed.window.selections[TextBox::txtDest].start, 1);
    EXPECT_EQ(bed.form.savedWidth, 7245);
    EXPECT_EQ(bed.logText(), "");
    EXPECT_FALSE(exists(storePath()));
}

TEST_F(SettingsTest, StoredValuesOfTheRightTypeAreShown) {
    store("VOBPATH", registry::REG_SZ, "/media/d\xc3\xa9j\xc3\xa0/VIDEO_TS");
    store("DESTPATH", registry::REG_SZ, "");
    store("ALERT", registry::REG_BINARY, std::string(1, '\0'));
    bed.form.Form_Load();
    EXPECT_EQ(box(TextBox::txtVobDir), "/media/d\xc3\xa9j\xc3\xa0/VIDEO_TS");
    EXPECT_EQ(bed.window.selections[TextBox::txtVobDir].start, 20) << "characters, not bytes";
    EXPECT_EQ(box(TextBox::txtDest), "") << "an empty text is not the default";
    EXPECT_EQ(bed.window.alert, engine::kUnchecked);
}

TEST_F(SettingsTest, ValuesOfAnotherTypeCountAsMissing) {
    store("VOBPATH", registry::REG_EXPAND_SZ, "/expand/me");
    store("DESTPATH", registry::REG_SZ, std::string("/out\0junk", 9));
    store("ALERT", registry::REG_SZ, "0");
    bed.form.Form_Load();
    EXPECT_EQ(box(TextBox::txtVobDir), bed.temp.path());
    EXPECT_EQ(box(TextBox::txtDest), "/out") << "read up to the NUL";
    EXPECT_EQ(bed.window.alert, engine::kChecked);
    EXPECT_EQ(bed.logText(), "");
}

TEST_F(SettingsTest, AnAlertTheCheckBoxCannotTakeEndsTheLoadWithAnEntry) {
    for (const std::string& alert : {std::string(), std::string(1, '\x07')}) {
        store("ALERT", registry::REG_BINARY, alert);
        store("VOBPATH", registry::REG_SZ, "/dvd");
        std::remove(bed.logPath().c_str());
        bed.window.alert = engine::kUnchecked;
        bed.form.Form_Load();
        const std::string log = bed.logText();
        EXPECT_EQ(log.rfind("[Form_Load]\r\n07/12/2026 09:05:03\r\n", 0), 0u) << log;
        EXPECT_EQ(log.substr(log.size() - 11), "\r\nALERT\r\n\r\n") << log;
        EXPECT_EQ(box(TextBox::txtVobDir), "/dvd");
        EXPECT_EQ(box(TextBox::txtDest), "/") << "both boxes are filled before";
        EXPECT_EQ(bed.window.alert, engine::kUnchecked) << "the check box keeps its state";
    }
}

TEST_F(SettingsTest, AFailingSizeCaptureSkipsTheSettings) {
    store("VOBPATH", registry::REG_SZ, "/dvd");
    bed.window.refuseWindowSize = true;
    bed.form.Form_Load();
    EXPECT_EQ(bed.logText(),
              "[Form_Load]\r\n07/12/2026 09:05:03\r\nthe window is not there\r\n"
              "\r\n\r\n");
    EXPECT_EQ(box(TextBox::txtVobDir), "");
}

TEST_F(SettingsTest, UnloadSavesTheFoldersAndTheAlert) {
    box(TextBox::txtVobDir) = "/dvd/\"quoted\"\\";
    box(TextBox::txtDest) = "  ";
    bed.window.alert = engine::kChecked;
    bed.form.Form_Unload();
    const std::string saved = readText(storePath());
    EXPECT_NE(saved.find("\"VOBPATH\"=\"/dvd/\\\"quoted\\\"\\\\\"\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("\"DESTPATH\"=\"  \"\n"), std::string::npos) << "blanks are kept";
    EXPECT_NE(saved.find("\"ALERT\"=hex:01\n"), std::string::npos);

    bed.window.alert = engine::kUnchecked;
    box(TextBox::txtVobDir) = "";
    bed.form.Form_Unload();
    const std::string again = readText(storePath());
    EXPECT_NE(again.find("\"ALERT\"=hex:00\n"), std::string::npos);
    EXPECT_NE(again.find("\"VOBPATH\"=\"/dvd/"), std::string::npos) << "an empty box is not saved";

    bed.form.Form_Load();
    EXPECT_EQ(box(TextBox::txtVobDir), "/dvd/\"quoted\"\\");
    EXPECT_EQ(bed.window.alert, engine::kUnchecked);
}

TEST_F(SettingsTest, AStoreThatCannotBeWrittenLosesTheSettingsSilently) {
    writeFile(bed.temp / "config", "a file where the settings folder should be");
    box(TextBox::txtVobDir) = "/dvd";
    bed.form.Form_Unload();
    EXPECT_EQ(bed.logText(), "");
    bed.form.Form_Load();
    EXPECT_EQ(box(TextBox::txtVobDir), bed.temp.path()) << "every start shows the defaults";
}

}  // namespace
}  // namespace vantrel::testing
