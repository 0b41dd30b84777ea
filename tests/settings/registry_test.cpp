#include "settings/Registry.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/failure.h"
#include "registry/registry_constants.h"
#include "registry/registry_file_store.h"
#include "support/temp_folder.h"

namespace vantrel::settings {
namespace {

using registry::HKEY;
using registry::HKEY_CURRENT_USER;
using registry::HKEY_LOCAL_MACHINE;
using registry::kNullKey;
using vantrel::testing::exists;
using vantrel::testing::TempFolder;
using vantrel::testing::writeFile;
using Bytes = std::vector<std::uint8_t>;
using Log = std::vector<std::string>;

const std::string kKey = "SOFTWARE\\TORVELLANCE\\Vantrel";

Bytes bytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

// Passes every call on to a real store and logs it ("open", "create",
// "query", "set", "close", or "close null" for the null handle), keeping count
// of the keys opened and not closed again. `beforeQuery` runs before each
// query with its number, counted from 1.
class LoggingRegistry final : public registry::RegistryApi {
  public:
    explicit LoggingRegistry(registry::RegistryApi& inner) : m_inner(inner) {}

    std::int32_t RegOpenKeyA(HKEY root, const std::string& subKey, HKEY& result) override {
        log.push_back("open");
        return opened(m_inner.RegOpenKeyA(root, subKey, result));
    }
    std::int32_t RegCreateKeyA(HKEY root, const std::string& subKey, HKEY& result) override {
        log.push_back("create");
        return opened(m_inner.RegCreateKeyA(root, subKey, result));
    }
    std::int32_t RegQueryValueExA(HKEY key, const std::string& valueName, std::uint32_t* type,
                                  unsigned char* data, std::uint32_t* size) override {
        log.push_back("query");
        if (beforeQuery) beforeQuery(++m_queries);
        return m_inner.RegQueryValueExA(key, valueName, type, data, size);
    }
    std::int32_t RegSetValueExA(HKEY key, const std::string& valueName, std::uint32_t type,
                                const unsigned char* data, std::uint32_t size) override {
        log.push_back("set");
        return m_inner.RegSetValueExA(key, valueName, type, data, size);
    }
    std::int32_t RegCloseKey(HKEY key) override {
        log.push_back(key == kNullKey ? "close null" : "close");
        const std::int32_t status = m_inner.RegCloseKey(key);
        if (status == registry::ERROR_SUCCESS) --openKeys;
        return status;
    }

    Log log;
    int openKeys = 0;
    std::function<void(int)> beforeQuery;

  private:
    std::int32_t opened(std::int32_t status) {
        if (status == registry::ERROR_SUCCESS) ++openKeys;
        return status;
    }
    registry::RegistryApi& m_inner;
    int m_queries = 0;
};

// The description of the Failure `call` throws; empty when it throws none.
std::string failureOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const platform::Failure& failure) {
        return failure.what();
    }
    return {};
}

class RegistryModule : public ::testing::Test {
  protected:
    // Every operation closes what it opened, whether it returns or throws.
    void TearDown() override { EXPECT_EQ(registry.openKeys, 0) << "a key was left open"; }

    // Stores a value straight through the store, as an earlier run would have.
    void store(const std::string& name, std::uint32_t type, const Bytes& data) {
        HKEY key = kNullKey;
        ASSERT_EQ(files.RegCreateKeyA(HKEY_LOCAL_MACHINE, kKey, key), 0);
        ASSERT_EQ(files.RegSetValueExA(key, name, type, data.data(),
                                       static_cast<std::uint32_t>(data.size())),
                  0);
        files.RegCloseKey(key);
    }
    void storeText(const std::string& name, const std::string& text) {
        store(name, registry::REG_SZ, bytesOf(text));
    }
    // A settings file as it was saved, and edited by hand since.
    void makeSettingsFile() {
        vantrel::testing::makeFolder(folder / "vantrel");
        writeFile(path,
                  "REGEDIT4\r\n"
                  "\r\n"
                  "[HKEY_LOCAL_MACHINE\\SOFTWARE\\TORVELLANCE\\Vantrel]\r\n"
                  "\"VOBPATH\"=\"/home/u/dvd/\"\r\n"
                  "\"DESTPATH\"=\"C:\\\\out \\\"new\\\"\"\r\n"
                  "\"ALERT\"=hex:00\r\n");
    }
    std::string readText(const std::string& name, const std::string& defaultText = "") {
        return ReadRegText(registry, HKEY_LOCAL_MACHINE, kKey, name, defaultText);
    }
    Bytes readBytes(const std::string& name, const RegBytesDefault& defaultValue = {}) {
        return ReadRegBytes(registry, HKEY_LOCAL_MACHINE, kKey, name, defaultValue);
    }

    TempFolder folder;
    std::string path = folder / "vantrel/registry.reg";
    registry::RegistryFileStore files{path};
    LoggingRegistry registry{files};
};

// ---------------------------------------------------------------- ReadRegText

class RegistryReadText : public RegistryModule {};

TEST_F(RegistryReadText, AMissingKeyOrValueGivesTheDefault) {
    EXPECT_EQ(readText("VOBPATH", "/opt/vantrel"), "/opt/vantrel");
    EXPECT_EQ(readText("VOBPATH"), "");
    EXPECT_FALSE(exists(path));  // reading creates nothing
    storeText("DESTPATH", "/out/");
    EXPECT_EQ(readText("VOBPATH", "/opt/vantrel"), "/opt/vantrel");
    EXPECT_EQ(ReadRegText(registry, HKEY_CURRENT_USER, kKey, "DESTPATH", "/"), "/");
    EXPECT_EQ(registry.log, (Log{"open", "query", "close null", "open", "query", "close null",
                                 "open", "query", "close", "open", "query", "close null"}));
}

TEST_F(RegistryReadText, StoredTextIsReadAsItIs) {
    makeSettingsFile();
    EXPECT_EQ(readText("VOBPATH", "/opt"), "/home/u/dvd/");
    EXPECT_EQ(readText("DESTPATH", "/"), "C:\\out \"new\"");
    EXPECT_EQ(readBytes("ALERT", std::int16_t{1}), (Bytes{0}));
    registry.log.clear();
    storeText("VOBPATH", "   ");
    EXPECT_EQ(readText("VOBPATH", "/opt"), "   ");
    EXPECT_EQ(registry.log, (Log{"open", "query", "query", "close"}));
}

TEST_F(RegistryReadText, AnEmptyTextIsNotTheDefault) {
    storeText("DESTPATH", "");
    EXPECT_EQ(readText("DESTPATH", "/"), "");
}

TEST_F(RegistryReadText, TextIsReadUpToItsFirstNul) {
    storeText("VOBPATH", std::string("/dvd/\0junk\0", 11));
    EXPECT_EQ(readText("VOBPATH", "/opt"), "/dvd/");
    storeText("VOBPATH", std::string("/dvd/\0", 6));
    EXPECT_EQ(readText("VOBPATH", "/opt"), "/dvd/");
    storeText("VOBPATH", std::string("\0/dvd/", 6));
    EXPECT_EQ(readText("VOBPATH", "/opt"), "");
}

TEST_F(RegistryReadText, ValuesOfOtherTypesGiveTheDefault) {
    store("VOBPATH", registry::REG_EXPAND_SZ, bytesOf("/dvd/"));
    EXPECT_EQ(readText("VOBPATH", "/opt"), "/opt");
    store("VOBPATH", registry::REG_BINARY, bytesOf("/dvd/"));
    EXPECT_EQ(readText("VOBPATH", "/opt"), "/opt");
    store("VOBPATH", registry::REG_DWORD, {1, 0, 0, 0});
    EXPECT_EQ(readText("VOBPATH", "/opt"), "/opt");
}

TEST_F(RegistryReadText, AFirstNulBeyondPosition32767Overflows) {
    storeText("VOBPATH", std::string(32766, 'a') + '\0' + "tail");
    EXPECT_EQ(readText("VOBPATH"), std::string(32766, 'a'));
    storeText("VOBPATH", std::string(40000, 'a'));
    EXPECT_EQ(readText("VOBPATH"), std::string(40000, 'a'));
    storeText("VOBPATH", std::string(32767, 'a') + '\0');
    EXPECT_EQ(failureOf([&] { readText("VOBPATH", "/opt"); }), "Overflow");
    EXPECT_EQ(registry.log.back(), "close");
}

TEST_F(RegistryReadText, AValueChangedWhileBeingReadIsReadAsItNowIs) {
    storeText("VOBPATH", "/dvd/");
    registry.beforeQuery = [&](int query) {
        if (query == 2) storeText("VOBPATH", "/a/longer/folder/");
        if (query == 6) storeText("VOBPATH", "/b/");
    };
    EXPECT_EQ(readText("VOBPATH", "/opt"), "/a/longer/folder/");
    EXPECT_EQ(readText("VOBPATH", "/opt"), "/b/");
}

// ---------------------------------------------------------------- WriteRegText

class RegistryWriteText : public RegistryModule {};

TEST_F(RegistryWriteText, StoresTheTextWithoutANul) {
    EXPECT_EQ(WriteRegText(registry, HKEY_LOCAL_MACHINE, kKey, "VOBPATH", "/home/u/dvd/"), 0);
    EXPECT_EQ(registry.log, (Log{"create", "set", "close"}));
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    HKEY key = kNullKey;
    ASSERT_EQ(files.RegOpenKeyA(HKEY_LOCAL_MACHINE, kKey, key), 0);
    EXPECT_EQ(files.RegQueryValueExA(key, "VOBPATH", &type, nullptr, &size), 0);
    EXPECT_EQ(type, registry::REG_SZ);
    EXPECT_EQ(size, 12u);
    files.RegCloseKey(key);
    EXPECT_NE(vantrel::testing::readText(path).find(
                  "[HKEY_LOCAL_MACHINE\\SOFTWARE\\TORVELLANCE\\Vantrel]\n"
                  "\"VOBPATH\"=\"/home/u/dvd/\"\n"),
              std::string::npos);

    for (const std::string text : {"C:\\x \"y\" \xC3\xBC", "   ", ""}) {
        EXPECT_EQ(WriteRegText(registry, HKEY_LOCAL_MACHINE, kKey, "DESTPATH", text), 0);
        EXPECT_EQ(readText("DESTPATH", "/"), text);
    }
}

TEST_F(RegistryWriteText, ReturnsTheFailureOfCreatingTheKey) {
    writeFile(folder / "plain", std::string("a file, not a folder"));
    registry::RegistryFileStore blocked(folder / "plain/vantrel/registry.reg");
    LoggingRegistry logged(blocked);
    EXPECT_EQ(WriteRegText(logged, HKEY_LOCAL_MACHINE, kKey, "VOBPATH", "/dvd/"),
              registry::ERROR_ACCESS_DENIED);
    EXPECT_EQ(logged.log, (Log{"create", "close null"}));
    EXPECT_EQ(ReadRegText(logged, HKEY_LOCAL_MACHINE, kKey, "VOBPATH", "/opt"), "/opt");
}

TEST_F(RegistryWriteText, ReturnsTheFailureOfStoringTheValue) {
    storeText("VOBPATH", "/old/");
    vantrel::testing::makeFolder(path + ".tmp/in-the-way");
    EXPECT_EQ(WriteRegText(registry, HKEY_LOCAL_MACHINE, kKey, "VOBPATH", "/new/"),
              registry::ERROR_ACCESS_DENIED);
    EXPECT_EQ(registry.log, (Log{"create", "set", "close"}));
    EXPECT_EQ(readText("VOBPATH"), "/old/");
}

// ---------------------------------------------------------------- ReadRegBytes

class RegistryReadBytes : public RegistryModule {};

TEST_F(RegistryReadBytes, AMissingValueGivesTheDefaultsFallback) {
    const struct {
        RegBytesDefault defaultValue;
        Bytes expected;
    } cases[] = {
        {{}, {0}},
        {std::int16_t{1}, {1}},
        {std::int16_t{0}, {0}},
        {std::int32_t{255}, {255}},
        {std::uint8_t{7}, {7}},
        {Bytes{4, 5, 6}, {4, 5, 6}},
        {std::string("1"), {0}},
        {2.5, {0}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(readBytes("ALERT", c.defaultValue), c.expected) << c.defaultValue.index();
    }
    store("OTHER", registry::REG_BINARY, {9});
    EXPECT_EQ(readBytes("ALERT", std::int16_t{1}), (Bytes{1}));
}

TEST_F(RegistryReadBytes, IntegerDefaultsOutsideAByteOverflowFirst) {
    store("ALERT", registry::REG_BINARY, {1});
    for (const RegBytesDefault& bad :
         {RegBytesDefault{std::int32_t{256}}, RegBytesDefault{std::int16_t{-1}},
          RegBytesDefault{std::int32_t{-1}}, RegBytesDefault{std::int16_t{1000}}}) {
        EXPECT_EQ(failureOf([&] { readBytes("ALERT", bad); }), "Overflow") << bad.index();
    }
    EXPECT_TRUE(registry.log.empty());
}

TEST_F(RegistryReadBytes, StoredBytesAreReadWhole) {
    for (const Bytes& stored : {Bytes{0}, Bytes{1}, Bytes{7}, Bytes{1, 2, 255}}) {
        store("ALERT", registry::REG_BINARY, stored);
        EXPECT_EQ(readBytes("ALERT", std::int16_t{1}), stored);
    }
}

TEST_F(RegistryReadBytes, ValuesOfOtherTypesGiveTheFallback) {
    store("ALERT", registry::REG_SZ, bytesOf("0"));
    EXPECT_EQ(readBytes("ALERT", std::int16_t{1}), (Bytes{1}));
    store("ALERT", registry::REG_DWORD, {0, 0, 0, 0});
    EXPECT_EQ(readBytes("ALERT", std::int16_t{1}), (Bytes{1}));
}

TEST_F(RegistryReadBytes, AZeroByteValueIsOutOfRange) {
    store("ALERT", registry::REG_BINARY, {});
    EXPECT_EQ(failureOf([&] { readBytes("ALERT", std::int16_t{1}); }), "Subscript out of range");
    EXPECT_EQ(registry.log, (Log{"open", "query", "close"}));
}

// ---------------------------------------------------------------- WriteRegBytes

class RegistryWriteBytes : public RegistryModule {};

TEST_F(RegistryWriteBytes, StoresExactlyTheBytes) {
    WriteRegBytes(registry, HKEY_LOCAL_MACHINE, kKey, "ALERT", {1});
    EXPECT_EQ(registry.log, (Log{"create", "set", "close"}));
    const std::string settings = vantrel::testing::readText(path);
    EXPECT_NE(settings.find("\n\"ALERT\"=hex:01\n"), std::string::npos) << settings;
    WriteRegBytes(registry, HKEY_LOCAL_MACHINE, kKey, "ALERT", {0});
    EXPECT_EQ(vantrel::testing::readText(path),
              "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE]\n\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\TORVELLANCE]\n\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\TORVELLANCE\\Vantrel]\n\"ALERT\"=hex:00\n\n");
    WriteRegBytes(registry, HKEY_LOCAL_MACHINE, kKey, "LONG", {1, 2, 255});
    EXPECT_EQ(readBytes("LONG"), (Bytes{1, 2, 255}));
}

TEST_F(RegistryWriteBytes, AnEmptySequenceIsOutOfRangeBeforeAnythingIsStored) {
    EXPECT_EQ(failureOf([&] { WriteRegBytes(registry, HKEY_LOCAL_MACHINE, kKey, "ALERT", {}); }),
              "Subscript out of range");
    EXPECT_TRUE(registry.log.empty());
    EXPECT_FALSE(exists(path));
}

TEST_F(RegistryWriteBytes, AStoreThatCannotBeWrittenIsPassedOverSilently) {
    vantrel::testing::makeFolder(path);  // a folder stands where the store goes
    LoggingRegistry logged(files);
    EXPECT_EQ(failureOf([&] { WriteRegBytes(logged, HKEY_LOCAL_MACHINE, kKey, "ALERT", {1}); }),
              "");
    EXPECT_EQ(logged.log, (Log{"create", "set", "close null"}));
    EXPECT_EQ(ReadRegBytes(logged, HKEY_LOCAL_MACHINE, kKey, "ALERT", std::int16_t{1}), (Bytes{1}));
}

// ---------------------------------------------------------------- the three settings

TEST_F(RegistryModule, TheSettingsSurviveARestart) {
    EXPECT_EQ(WriteRegText(registry, HKEY_LOCAL_MACHINE, kKey, "VOBPATH", "/home/u/dvd/"), 0);
    EXPECT_EQ(WriteRegText(registry, HKEY_LOCAL_MACHINE, kKey, "DESTPATH", "/tmp/out/"), 0);
    WriteRegBytes(registry, HKEY_LOCAL_MACHINE, kKey, "ALERT", {0});

    registry::RegistryFileStore restarted(path);
    EXPECT_EQ(ReadRegText(restarted, HKEY_LOCAL_MACHINE, kKey, "VOBPATH", "/opt"), "/home/u/dvd/");
    EXPECT_EQ(ReadRegText(restarted, HKEY_LOCAL_MACHINE, kKey, "DESTPATH", "/"), "/tmp/out/");
    EXPECT_EQ(ReadRegBytes(restarted, HKEY_LOCAL_MACHINE, kKey, "ALERT", std::int16_t{1}),
              (Bytes{0}));
}

}  // namespace
}  // namespace vantrel::settings
