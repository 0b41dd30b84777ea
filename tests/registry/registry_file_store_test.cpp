#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "platform/text.h"
#include "registry/registry_constants.h"
#include "registry/registry_file_store.h"
#include "registry/system_registry.h"
#include "support/scoped_env.h"
#include "support/temp_folder.h"

namespace vantrel::registry {
namespace {

using platform::asciiLower;
using vantrel::testing::exists;
using vantrel::testing::makeFolder;
using vantrel::testing::readText;
using vantrel::testing::ScopedEnv;
using vantrel::testing::TempFolder;
using vantrel::testing::writeFile;
using Bytes = std::vector<unsigned char>;

const std::string kKey = "SOFTWARE\\TORVELLANCE\\Vantrel";

Bytes bytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

struct Stored {
    std::int32_t status = -1;
    std::uint32_t type = 0;
    Bytes data;
};

// A value as RegQueryValueExA gives it: sized first, then read.
Stored query(RegistryApi& registry, HKEY key, const std::string& name) {
    Stored stored;
    std::uint32_t size = 0;
    stored.status = registry.RegQueryValueExA(key, name, &stored.type, nullptr, &size);
    if (stored.status != ERROR_SUCCESS) return stored;
    stored.data.resize(size);
    stored.status = registry.RegQueryValueExA(key, name, &stored.type, stored.data.data(), &size);
    return stored;
}

class RegistryStore : public ::testing::Test {
  protected:
    HKEY create(const std::string& subKey = kKey, HKEY root = HKEY_LOCAL_MACHINE) {
        HKEY key = kNullKey;
        EXPECT_EQ(store.RegCreateKeyA(root, subKey, key), ERROR_SUCCESS) << subKey;
        return key;
    }
    std::int32_t set(HKEY key, const std::string& name, std::uint32_t type, const Bytes& data) {
        return store.RegSetValueExA(key, name, type, data.data(),
                                    static_cast<std::uint32_t>(data.size()));
    }
    std::int32_t setText(HKEY key, const std::string& name, const std::string& text) {
        return set(key, name, REG_SZ, bytesOf(text));
    }
    // The value as a second store on the same file reads it.
    Stored readBack(const std::string& name, const std::string& subKey = kKey) {
        RegistryFileStore other(path);
        HKEY key = kNullKey;
        Stored stored;
        stored.status = other.RegOpenKeyA(HKEY_LOCAL_MACHINE, subKey, key);
        if (stored.status == ERROR_SUCCESS) stored = query(other, key, name);
        other.RegCloseKey(key);
        return stored;
    }

    TempFolder folder;
    std::string path = folder / "config/vantrel/registry.reg";
    RegistryFileStore store{path};
};

// ---------------------------------------------------------------- where the store lives

TEST(RegistryStorePath, FollowsXdgConfigHomeElseHome) {
    const ScopedEnv home("HOME", "/home/someone");
    {
        const ScopedEnv config("XDG_CONFIG_HOME", "/cfg/");
        EXPECT_EQ(RegistryFileStore::defaultStorePath(), "/cfg/vantrel/registry.reg");
    }
    for (const char* config : {static_cast<const char*>(nullptr), "", "relative/cfg"}) {
        const ScopedEnv unset("XDG_CONFIG_HOME", config);
        EXPECT_EQ(RegistryFileStore::defaultStorePath(),
                  "/home/someone/.config/vantrel/registry.reg");
    }
}

TEST(RegistryStorePath, TheSystemRegistryWritesTheDefaultStore) {
    const TempFolder folder;
    const ScopedEnv config("XDG_CONFIG_HOME", folder.path().c_str());
    const auto registry = systemRegistry();
    HKEY key = kNullKey;
    ASSERT_EQ(registry->RegCreateKeyA(HKEY_CURRENT_USER, "Software\\V", key), ERROR_SUCCESS);
    EXPECT_EQ(registry->RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(readText(folder / "vantrel/registry.reg"),
              "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software]\n\n[HKEY_CURRENT_USER\\Software\\V]\n\n");
}

// ---------------------------------------------------------------- values and the file's text

TEST_F(RegistryStore, EveryTypeReadsBackAsWritten) {
    const struct {
        std::string name;
        std::uint32_t type;
        Bytes data;
    } values[] = {
        {"VOBPATH", REG_SZ, bytesOf("C:\\dvd \"cut\" \xC3\xBC\t=;[x]")},
        {"EMPTYTEXT", REG_SZ, {}},
        {"", REG_SZ, bytesOf("the default value")},
        {"ALERT", REG_BINARY, {0x01, 0x00, 0xff}},
        {"NOBYTES", REG_BINARY, {}},
        {"COUNT", REG_DWORD, {0x2a, 0x00, 0x01, 0x80}},
        {"SHORTDWORD", REG_DWORD, {0x01, 0x02}},
        {"EXPAND", REG_EXPAND_SZ, bytesOf("%HOME%\\x")},
        {"MULTI", REG_MULTI_SZ, bytesOf(std::string("a\0b\0\0", 5))},
        {"BIG", REG_QWORD, {1, 2, 3, 4, 5, 6, 7, 8}},
        {"NULINSIDE", REG_SZ, bytesOf(std::string("ab\0cd", 5))},
        {"BREAKS", REG_SZ, bytesOf("line 1\r\nline 2\n")},
        {"ODD", 0x12345, {0xde, 0xad}},
        {"name \"with\" \\ and = ]", REG_SZ, bytesOf("v")},
    };
    const HKEY key = create();
    for (const auto& value : values) ASSERT_EQ(set(key, value.name, value.type, value.data), 0);
    for (const auto& value : values) {
        const Stored stored = readBack(value.name);
        EXPECT_EQ(stored.status, ERROR_SUCCESS) << value.name;
        EXPECT_EQ(stored.type, value.type) << value.name;
        EXPECT_EQ(stored.data, value.data) << value.name;
    }
}

// Random keys, names, types and data, the awkward bytes favoured, read back
// through a fresh store as last written (names compare without regard to case).
TEST_F(RegistryStore, RandomValuesReadBackAsWritten) {
    std::mt19937 random(20240611);
    const auto below = [&](std::size_t n) { return std::size_t(random() % n); };
    const std::string awkward("\0\r\n\"\\ \t=[]@;,:\x80\xff\xc3\xbc\xef\xbb\xbf", 22);
    const auto text = [&](std::size_t most, std::string_view refused) {
        std::string s;
        for (std::size_t i = below(most + 1); i > 0; --i) {
            const char c = below(2) ? awkward[below(awkward.size())] : char(below(256));
            if (refused.find(c) == std::string_view::npos) s += c;
        }
        return s;
    };
    const std::uint32_t types[] = {REG_SZ, REG_BINARY, REG_DWORD, REG_EXPAND_SZ, REG_NONE, 0xbeef};
    struct Written {
        std::string key, name;
        std::uint32_t type;
        Bytes data;
    };
    // Each write reaches the disk (fsync): a few keys take every value.
    std::vector<std::string> keys;
    for (int i = 0; i < 6; ++i) {
        std::string key = "K" + text(6, std::string_view("\\\r\n\0", 4));
        for (std::size_t depth = below(3); depth > 0; --depth) {
            key += "\\" + text(6, std::string_view("\\\r\n\0", 4)) + "x";
        }
        keys.push_back(key);
    }
    std::vector<Written> written;
    for (int i = 0; i < 50; ++i) {
        const std::string& key = keys[below(keys.size())];
        const std::string name = text(10, std::string_view("\r\n\0", 3));
        const Written value{key, name, types[below(std::size(types))], bytesOf(text(40, ""))};
        const HKEY handle = create(key);
        ASSERT_EQ(set(handle, name, value.type, value.data), ERROR_SUCCESS);
        store.RegCloseKey(handle);
        written.push_back(value);
    }
    const auto lower = [](std::string s) {
        for (char& c : s) c = asciiLower(c);
        return s;
    };
    for (std::size_t i = 0; i < written.size(); ++i) {
        const Written& value = written[i];
        const bool replaced =
            std::any_of(written.begin() + long(i) + 1, written.end(), [&](auto& w) {
                return lower(w.key) == lower(value.key) && lower(w.name) == lower(value.name);
            });
        if (replaced) continue;
        const Stored stored = readBack(value.name, value.key);
        EXPECT_EQ(stored.status, ERROR_SUCCESS) << i;
        EXPECT_EQ(stored.type, value.type) << i;
        EXPECT_EQ(stored.data, value.data) << i;
    }
}

TEST_F(RegistryStore, WritesTheRegedit4Layout) {
    const HKEY key = create();
    ASSERT_EQ(setText(key, "VOBPATH", "C:\\dvd\\\"x\""), 0);
    ASSERT_EQ(set(key, "ALERT", REG_BINARY, {0x01}), 0);
    ASSERT_EQ(set(key, "COUNT", REG_DWORD, {0x2a, 0, 0, 0}), 0);
    ASSERT_EQ(set(key, "EXP", REG_EXPAND_SZ, bytesOf("%A%")), 0);
    ASSERT_EQ(set(key, "NONE", REG_BINARY, {}), 0);
    ASSERT_EQ(set(key, "LINES", REG_SZ, bytesOf("a\nb")), 0);
    ASSERT_EQ(setText(key, "", ""), 0);
    EXPECT_EQ(readText(path),
              "REGEDIT4\n"
              "\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE]\n"
              "\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\TORVELLANCE]\n"
              "\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\TORVELLANCE\\Vantrel]\n"
              "\"VOBPATH\"=\"C:\\\\dvd\\\\\\\"x\\\"\"\n"
              "\"ALERT\"=hex:01\n"
              "\"COUNT\"=dword:0000002a\n"
              "\"EXP\"=hex(2):25,41,25\n"
              "\"NONE\"=hex:\n"
              "\"LINES\"=hex(1):61,0a,62\n"
              "@=\"\"\n"
              "\n");
}

TEST_F(RegistryStore, ReplacingAValueKeepsItsPlace) {
    const HKEY key = create("Vantrel");
    ASSERT_EQ(setText(key, "A", "1"), 0);
    ASSERT_EQ(setText(key, "B", "2"), 0);
    ASSERT_EQ(set(key, "A", REG_BINARY, {3}), 0);
    EXPECT_EQ(readText(path),
              "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Vantrel]\n\"A\"=hex:03\n\"B\"=\"2\"\n\n");
}

TEST_F(RegistryStore, ReadsAHandWrittenFile) {
    makeFolder(folder / "config/vantrel");
    writeFile(path,
              "\xEF\xBB\xBF"
              "REGEDIT4\r\n"
              "\r\n"
              "; saved by hand\r\n"
              "[hkey_local_machine\\SOFTWARE\\TORVELLANCE\\Vantrel]\r\n"
              "\"VOBPATH\"=\"/home/u/dvd/\"\r\n"
              "\"DESTPATH\" = \"C:\\\\out\\\\ \\\"q\\\"\"   \r\n"
              "\"ALERT\"=hex:1\r\n"
              "\"LONG\"=hex:00,01,02,\\\r\n"
              "  03,04,\\\r\n"
              "  FF\r\n"
              "\"COUNT\"=dword:0000002A\r\n"
              "\"EXP\"=hex(2):25,00\r\n"
              "\"Q\"=hex(b):01,00,00,00,00,00,00,00\r\n"
              "@=\"default\"\r\n"
              "\r\n"
              "[HKEY_CURRENT_USER\\Software\\Other]\n"
              "\"LF\"=\"only\"");
    const auto expect = [&](const std::string& name, std::uint32_t type, const Bytes& data) {
        const Stored stored = readBack(name);
        EXPECT_EQ(stored.status, ERROR_SUCCESS) << name;
        EXPECT_EQ(stored.type, type) << name;
        EXPECT_EQ(stored.data, data) << name;
    };
    expect("VOBPATH", REG_SZ, bytesOf("/home/u/dvd/"));
    expect("DESTPATH", REG_SZ, bytesOf("C:\\out\\ \"q\""));
    expect("ALERT", REG_BINARY, {0x01});
    expect("LONG", REG_BINARY, {0, 1, 2, 3, 4, 0xff});
    expect("COUNT", REG_DWORD, {0x2a, 0, 0, 0});
    expect("EXP", REG_EXPAND_SZ, {0x25, 0x00});
    expect("Q", REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0});
    expect("", REG_SZ, bytesOf("default"));
    EXPECT_EQ(readBack("VOBPATH", "SOFTWARE").status, ERROR_FILE_NOT_FOUND);

    HKEY other = kNullKey;
    ASSERT_EQ(store.RegOpenKeyA(HKEY_CURRENT_USER, "Software\\Other", other), ERROR_SUCCESS);
    EXPECT_EQ(query(store, other, "LF").data, bytesOf("only"));
}

TEST_F(RegistryStore, KeysAndValueNamesIgnoreCase) {
    const HKEY key = create();
    ASSERT_EQ(setText(key, "VOBPATH", "/a/"), 0);
    const std::string before = readText(path);
    create("software\\torvellance\\VANTREL");
    EXPECT_EQ(readText(path), before);  // the same key: no new section

    HKEY other = kNullKey;
    ASSERT_EQ(store.RegOpenKeyA(HKEY_LOCAL_MACHINE, "Software\\Torvellance\\vantrel", other), 0);
    EXPECT_EQ(query(store, other, "vobPath").data, bytesOf("/a/"));
    ASSERT_EQ(setText(other, "vobpath", "/b/"), 0);
    EXPECT_EQ(readBack("VOBPATH").data, bytesOf("/b/"));

    create("software\\torvellance\\Other");  // the stored spelling of the keys above stays
    EXPECT_EQ(readText(path),
              "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE]\n\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\TORVELLANCE]\n\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\TORVELLANCE\\Vantrel]\n\"VOBPATH\"=\"/b/\"\n\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\TORVELLANCE\\Other]\n\n");
}

TEST_F(RegistryStore, RootsAreSeparateAndReadsSeeOtherStoresAtOnce) {
    const HKEY machine = create();
    const HKEY user = create(kKey, HKEY_CURRENT_USER);
    ASSERT_EQ(setText(user, "VOBPATH", "/user/"), 0);
    EXPECT_EQ(query(store, machine, "VOBPATH").status, ERROR_FILE_NOT_FOUND);

    RegistryFileStore other(path);
    HKEY otherKey = kNullKey;
    ASSERT_EQ(other.RegOpenKeyA(HKEY_LOCAL_MACHINE, kKey, otherKey), 0);
    ASSERT_EQ(setText(machine, "VOBPATH", "/one/"), 0);
    EXPECT_EQ(query(other, otherKey, "VOBPATH").data, bytesOf("/one/"));
    ASSERT_EQ(setText(machine, "VOBPATH", "/two/"), 0);
    EXPECT_EQ(query(other, otherKey, "VOBPATH").data, bytesOf("/two/"));
    EXPECT_EQ(query(store, user, "VOBPATH").data, bytesOf("/user/"));
}

// A window's load and save each touch the file once, however many values they
// read or write, and every read still sees the writes made before it.
TEST_F(RegistryStore, ABatchReadsTheFileOnceAndWritesItOnce) {
    const HKEY key = create();
    ASSERT_EQ(setText(key, "VOBPATH", "/before/"), 0);
    const auto inode = [&] {
        struct stat info {};
        EXPECT_EQ(::stat(path.c_str(), &info), 0);
        return info.st_ino;
    };
    {
        const RegistryBatch batch(store);
        EXPECT_EQ(query(store, key, "VOBPATH").data, bytesOf("/before/"));
        RegistryFileStore other(path);  // another copy of the program writes meanwhile
        HKEY otherKey = kNullKey;
        ASSERT_EQ(other.RegOpenKeyA(HKEY_LOCAL_MACHINE, kKey, otherKey), 0);
        ASSERT_EQ(other.RegSetValueExA(otherKey, "DESTPATH", REG_SZ,
                                       reinterpret_cast<const unsigned char*>("/theirs/"), 8),
                  0);
        EXPECT_EQ(query(store, key, "DESTPATH").status, ERROR_FILE_NOT_FOUND)
            << "the batch's one reading";

        const auto written = inode();
        ASSERT_EQ(setText(key, "VOBPATH", "/after/"), 0);
        const HKEY made = create(kKey + "\\New");
        ASSERT_EQ(setText(made, "ALERT", "\x01"), 0);
        EXPECT_EQ(query(store, key, "VOBPATH").data, bytesOf("/after/")) << "the write, read";
        EXPECT_EQ(inode(), written) << "nothing written before the batch ends";
    }
    EXPECT_EQ(readBack("VOBPATH").data, bytesOf("/after/"));
    EXPECT_EQ(readBack("DESTPATH").data, bytesOf("/theirs/")) << "made on a fresh read";
    EXPECT_EQ(readBack("ALERT", kKey + "\\New").data, bytesOf("\x01"));
}

// Inside a batch a change is only taken; the batch's end stores them and says
// whether that worked, with the error code a change outside a batch would give.
TEST_F(RegistryStore, ABatchsEndSaysWhetherItsChangesWereStored) {
    const HKEY key = create();
    {
        RegistryBatch batch(store);
        ASSERT_EQ(setText(key, "VOBPATH", "/stored/"), 0);
        EXPECT_EQ(batch.end(), ERROR_SUCCESS);
    }
    EXPECT_EQ(readBack("VOBPATH").data, bytesOf("/stored/"));

    makeFolder(path + ".tmp/x");  // a folder where the store's new text goes
    RegistryBatch batch(store);
    ASSERT_EQ(setText(key, "VOBPATH", "/lost/"), 0);
    EXPECT_EQ(batch.end(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(query(store, key, "VOBPATH").data, bytesOf("/stored/"));
    EXPECT_EQ(setText(key, "VOBPATH", "/lost/"), ERROR_ACCESS_DENIED);
}

// ---------------------------------------------------------------- handles

TEST_F(RegistryStore, NullUnknownAndClosedHandlesAreInvalid) {
    const HKEY closed = create();
    ASSERT_EQ(store.RegCloseKey(closed), ERROR_SUCCESS);
    for (const HKEY bad : {kNullKey, HKEY{12345}, closed}) {
        std::uint32_t size = 0;
        EXPECT_EQ(store.RegQueryValueExA(bad, "X", nullptr, nullptr, &size), ERROR_INVALID_HANDLE);
        EXPECT_EQ(setText(bad, "X", "x"), ERROR_INVALID_HANDLE);
        EXPECT_EQ(store.RegCloseKey(bad), ERROR_INVALID_HANDLE);
        HKEY result = 77;
        EXPECT_EQ(store.RegOpenKeyA(bad, "", result), ERROR_INVALID_HANDLE);
        EXPECT_EQ(store.RegCreateKeyA(bad, "Sub", result), ERROR_INVALID_HANDLE);
        EXPECT_EQ(result, 77u);
    }
    EXPECT_EQ(readBack("X").status, ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryStore, OpeningAMissingKeyFailsAndLeavesTheHandle) {
    HKEY result = 77;
    EXPECT_EQ(store.RegOpenKeyA(HKEY_LOCAL_MACHINE, kKey, result), ERROR_FILE_NOT_FOUND);
    create("SOFTWARE\\TORVELLANCE");
    EXPECT_EQ(store.RegOpenKeyA(HKEY_LOCAL_MACHINE, kKey, result), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(store.RegOpenKeyA(HKEY_CURRENT_USER, "SOFTWARE", result), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(result, 77u);
}

TEST_F(RegistryStore, HandlesNameKeysAndRootsAreKeys) {
    const HKEY key = create();
    ASSERT_EQ(setText(key, "VOBPATH", "/dvd/"), 0);
    HKEY software = kNullKey;
    HKEY vantrel = kNullKey;
    ASSERT_EQ(store.RegOpenKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE", software), ERROR_SUCCESS);
    ASSERT_EQ(store.RegOpenKeyA(software, "TORVELLANCE\\Vantrel", vantrel), ERROR_SUCCESS);
    EXPECT_NE(software, kNullKey);
    EXPECT_NE(vantrel, software);
    EXPECT_NE(vantrel, key);
    EXPECT_EQ(query(store, vantrel, "VOBPATH").data, bytesOf("/dvd/"));
    EXPECT_EQ(store.RegCloseKey(software), ERROR_SUCCESS);
    EXPECT_EQ(query(store, vantrel, "VOBPATH").status, ERROR_SUCCESS);

    ASSERT_EQ(setText(HKEY_CURRENT_USER, "ROOTVALUE", "r"), ERROR_SUCCESS);
    EXPECT_EQ(query(store, HKEY_CURRENT_USER, "ROOTVALUE").data, bytesOf("r"));
    EXPECT_EQ(store.RegCloseKey(HKEY_CURRENT_USER), ERROR_SUCCESS);
    EXPECT_NE(readText(path).find("\n[HKEY_CURRENT_USER]\n\"ROOTVALUE\"=\"r\"\n"),
              std::string::npos);
}

TEST_F(RegistryStore, QueriesReportTypeAndSizeAndAskForRoom) {
    const HKEY key = create();
    ASSERT_EQ(set(key, "V", REG_BINARY, {1, 2, 3, 4, 5}), 0);
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    EXPECT_EQ(store.RegQueryValueExA(key, "V", &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_BINARY);
    EXPECT_EQ(size, 5u);

    unsigned char buffer[8] = {9, 9, 9, 9, 9, 9, 9, 9};
    size = 2;
    EXPECT_EQ(store.RegQueryValueExA(key, "V", nullptr, buffer, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 5u);
    size = sizeof buffer;
    EXPECT_EQ(store.RegQueryValueExA(key, "V", nullptr, buffer, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 5u);
    EXPECT_EQ(Bytes(buffer, buffer + 8), (Bytes{1, 2, 3, 4, 5, 9, 9, 9}));

    EXPECT_EQ(store.RegQueryValueExA(key, "V", nullptr, buffer, nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(store.RegQueryValueExA(key, "MISSING", &type, nullptr, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(store.RegSetValueExA(key, "V", REG_BINARY, nullptr, 3), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(setText(key, "LINE\nBREAK", "x"), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(query(store, key, "V").data, (Bytes{1, 2, 3, 4, 5}));
}

// ---------------------------------------------------------------- damaged files

TEST_F(RegistryStore, DamagedLinesReadAsMissing) {
    makeFolder(folder / "config/vantrel");
    writeFile(path,
              "REGEDIT4\n"
              "\n"
              "\"BEFORE\"=\"any section\"\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\TORVELLANCE\\Vantrel]\n"
              "\"VOBPATH\"=\"/dvd/\"\n"
              "this is not a value\n"
              "\"ALERT\"=hex:0g\n"
              "\"DESTPATH\"=\"/unterminated\n"
              "\"COUNT\"=dword:123456789\n"
              "\"TRAIL\"=hex:01,\n"
              "\"WIDE\"=hex:0123456789abcdef01\n"
              "\"GOOD\"=hex:01,\\\n"
              "  02\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\TORV\n"
              "\"LOST\"=\"x\"\n"
              "[HKEY_LOCAL_MACHINE\\Other]\n"
              "\"KEEP\"=\"y\"\n");
    EXPECT_EQ(readBack("VOBPATH").data, bytesOf("/dvd/"));
    for (const char* damaged : {"ALERT", "DESTPATH", "COUNT", "TRAIL", "WIDE", "BEFORE"}) {
        EXPECT_EQ(readBack(damaged).status, ERROR_FILE_NOT_FOUND) << damaged;
    }
    EXPECT_EQ(readBack("GOOD").data, (Bytes{1, 2}));
    EXPECT_EQ(readBack("LOST", "SOFTWARE\\TORV").status, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(readBack("KEEP", "Other").data, bytesOf("y"));
}

// A write changes the one line it stores and, for a new value or key, adds
// lines in the file's own line breaks; every other byte stays.
TEST_F(RegistryStore, AWriteKeepsEveryByteItDoesNotOwn) {
    makeFolder(folder / "config/vantrel");
    const std::string head =
        "\xEF\xBB\xBF"
        "REGEDIT4\r\n"
        "\r\n"
        "; kept by hand\r\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\TORVELLANCE\\Vantrel]\r\r\n";
    const std::string middle =
        "\r\r\n"
        "\"Blob\"=hex:01,\\\r\n"
        "\r\n"
        "02\r\n";
    const std::string tail =
        "  \t\r\n"
        "[HKEY_NOWHERE\\x]\r\n"
        "\"Other\"=\"y\"";
    writeFile(path, head + "\"VOBPATH\"=\"/old/\"" + middle + tail);
    const HKEY key = create();
    ASSERT_EQ(setText(key, "VOBPATH", "/old/"), 0);
    EXPECT_EQ(readText(path), head + "\"VOBPATH\"=\"/old/\"" + middle + tail);

    ASSERT_EQ(setText(key, "VOBPATH", "/new/"), 0);
    ASSERT_EQ(set(key, "ALERT", REG_BINARY, {1}), 0);
    create("Software", HKEY_CURRENT_USER);
    EXPECT_EQ(readText(path), head + "\"VOBPATH\"=\"/new/\"" + middle + "\"ALERT\"=hex:01\r\n" +
                                  tail + "\r\n\r\n[HKEY_CURRENT_USER\\Software]\r\n\r\n");
    EXPECT_EQ(readBack("Blob").status, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(readBack("VOBPATH").data, bytesOf("/new/"));
}

// A name given twice reads as its last occurrence, as an import would leave
// it, and a write replaces that one: what was written is what reads return.
TEST_F(RegistryStore, TheLastOccurrenceOfANameIsReadAndWritten) {
    makeFolder(folder / "config/vantrel");
    const std::string first =
        "REGEDIT4\n\n"
        "[HKEY_LOCAL_MACHINE\\Vantrel]\n"
        "\"A\"=\"first\"\n"
        "\"a\"=\"second\"\n\n"
        "[HKEY_LOCAL_MACHINE\\vantrel]\n";
    const std::string rest =
        "\"A\"=hex:0g\n"
        "\"A\"=hex:01,\\\n"
        "\n"
        "02\n";
    writeFile(path, first + "\"A\"=\"third\"\n" + rest);
    EXPECT_EQ(readBack("a", "Vantrel").data, bytesOf("third"));
    ASSERT_EQ(setText(create("Vantrel"), "a", "new"), 0);
    EXPECT_EQ(readText(path), first + "\"A\"=\"new\"\n" + rest);
    EXPECT_EQ(readBack("A", "Vantrel").data, bytesOf("new"));
}

TEST_F(RegistryStore, BinaryGarbageIsAnEmptyStoreThatStillTakesValues) {
    makeFolder(folder / "config/vantrel");
    const Bytes garbage = vantrel::testing::patternBytes(8192, 7);
    writeFile(path, garbage);
    HKEY result = 77;
    EXPECT_EQ(store.RegOpenKeyA(HKEY_LOCAL_MACHINE, kKey, result), ERROR_FILE_NOT_FOUND);
    const HKEY key = create();
    ASSERT_EQ(setText(key, "VOBPATH", "/dvd/"), 0);
    EXPECT_EQ(readBack("VOBPATH").data, bytesOf("/dvd/"));
    writeFile(path, std::string("REGEDIT4\n\n"));
    EXPECT_EQ(readBack("VOBPATH").status, ERROR_FILE_NOT_FOUND);
}

// ---------------------------------------------------------------- stores that cannot be written

TEST_F(RegistryStore, TheFolderIsMadeOnTheFirstWriteOnly) {
    HKEY result = kNullKey;
    EXPECT_EQ(store.RegOpenKeyA(HKEY_LOCAL_MACHINE, kKey, result), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(query(store, HKEY_LOCAL_MACHINE, "X").status, ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(exists(folder / "config"));
    create();
    EXPECT_TRUE(exists(path));
    EXPECT_FALSE(exists(path + ".tmp"));
}

// Each way a store can be out of reach fails every change with an error code,
// without throwing and without touching what is stored.
TEST_F(RegistryStore, AStoreThatCannotBeWrittenReportsAndKeepsItsContent) {
    const std::string stored =
        "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Vantrel]\n\"VOBPATH\"=\"/dvd/\"\n\n";
    const struct {
        const char* what;
        const char* store;  // below the test's folder
        const char* plainFile;
        const char* folderInTheWay;
        bool storeExists;
    } cases[] = {
        {"folder path runs through a plain file", "plain/vantrel/registry.reg", "plain", nullptr,
         false},
        {"a folder stands where the store goes", "s/registry.reg", nullptr, "s/registry.reg/x",
         false},
        {"a folder stands where the temporary file goes", "t/registry.reg", nullptr,
         "t/registry.reg.tmp/x", true},
        {"a folder stands where the lock file goes", "l/registry.reg", nullptr,
         "l/registry.reg.lock/x", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string storePath = folder / c.store;
        if (c.plainFile != nullptr) writeFile(folder / c.plainFile, std::string("plain"));
        if (c.folderInTheWay != nullptr) makeFolder(folder / c.folderInTheWay);
        if (c.storeExists) writeFile(storePath, stored);
        RegistryFileStore unwritable(storePath);
        HKEY key = 77;
        EXPECT_EQ(unwritable.RegCreateKeyA(HKEY_LOCAL_MACHINE, "Other", key), ERROR_ACCESS_DENIED);
        EXPECT_EQ(key, 77u);
        EXPECT_EQ(unwritable.RegSetValueExA(HKEY_LOCAL_MACHINE, "V", REG_BINARY, nullptr, 0),
                  ERROR_ACCESS_DENIED);
        if (c.storeExists) {
            ASSERT_EQ(unwritable.RegOpenKeyA(HKEY_LOCAL_MACHINE, "Vantrel", key), ERROR_SUCCESS);
            EXPECT_EQ(unwritable.RegSetValueExA(key, "VOBPATH", REG_BINARY, nullptr, 0),
                      ERROR_ACCESS_DENIED);
            EXPECT_EQ(query(unwritable, key, "VOBPATH").data, bytesOf("/dvd/"));
            EXPECT_EQ(readText(storePath), stored);
        } else {
            EXPECT_NE(unwritable.RegOpenKeyA(HKEY_LOCAL_MACHINE, "Other", key), ERROR_SUCCESS);
            EXPECT_FALSE(exists(storePath + ".tmp"));
        }
    }
}

TEST_F(RegistryStore, LeftoversOfAnInterruptedWriteDoNotMatter) {
    const HKEY key = create();
    ASSERT_EQ(setText(key, "VOBPATH", "/dvd/"), 0);
    writeFile(path + ".tmp", std::string("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFT"));
    EXPECT_EQ(readBack("VOBPATH").data, bytesOf("/dvd/"));
    ASSERT_EQ(setText(key, "DESTPATH", "/out/"), 0);
    EXPECT_EQ(readBack("VOBPATH").data, bytesOf("/dvd/"));
    EXPECT_EQ(readBack("DESTPATH").data, bytesOf("/out/"));
    EXPECT_FALSE(exists(path + ".tmp"));
}

TEST_F(RegistryStore, AWriteKeepsTheStoresPermissions) {
    const HKEY key = create();
    ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
    ASSERT_EQ(setText(key, "VOBPATH", "/dvd/"), 0);
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

// People keep dotfiles elsewhere and link them into place: a write goes to
// the file the link leads to, and the link stays.
TEST_F(RegistryStore, AWriteThroughALinkReplacesWhatItLeadsTo) {
    makeFolder(folder / "config/vantrel");
    makeFolder(folder / "dotfiles");
    const std::string target = folder / "dotfiles/registry.reg";
    ASSERT_EQ(::symlink("../../dotfiles/registry.reg", path.c_str()), 0);
    const HKEY key = create();  // the link leads nowhere yet
    ASSERT_EQ(setText(key, "VOBPATH", "/dvd/"), 0);
    ASSERT_EQ(setText(key, "VOBPATH", "/other/"), 0);
    struct stat link {};
    ASSERT_EQ(::lstat(path.c_str(), &link), 0);
    EXPECT_TRUE(S_ISLNK(link.st_mode));
    EXPECT_NE(readText(target).find("\"VOBPATH\"=\"/other/\""), std::string::npos);
    EXPECT_EQ(readBack("VOBPATH").data, bytesOf("/other/"));
    EXPECT_FALSE(exists(target + ".tmp"));
}

// ---------------------------------------------------------------- several running copies

// Writes `count` values "<prefix><i>" = "value <i>" one after the other, each
// through its own create, set and close. The number of calls that failed.
int writeMany(const std::string& path, const std::string& prefix, int count) {
    RegistryFileStore store(path);
    int failures = 0;
    for (int i = 0; i < count; ++i) {
        HKEY key = kNullKey;
        const std::string text = "value " + std::to_string(i);
        failures += store.RegCreateKeyA(HKEY_LOCAL_MACHINE, kKey, key) != 0;
        failures += store.RegSetValueExA(key, prefix + std::to_string(i), REG_SZ,
                                         reinterpret_cast<const unsigned char*>(text.data()),
                                         static_cast<std::uint32_t>(text.size())) != 0;
        failures += store.RegCloseKey(key) != 0;
    }
    return failures;
}

TEST_F(RegistryStore, TwoProcessesWritingAtOnceLoseNothing) {
    constexpr int kCount = 120;
    const std::vector<std::string> prefixes = {"A", "B"};
    std::vector<pid_t> children;
    for (const std::string& prefix : prefixes) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) ::_exit(writeMany(path, prefix, kCount) == 0 ? 0 : 1);
        children.push_back(child);
    }
    // Meanwhile every read sees a whole file: each writer's values, looked up
    // from the last down, are present from some point on.
    std::vector<int> statuses(children.size(), -1);
    std::vector<bool> done(children.size(), false);
    while (std::find(done.begin(), done.end(), false) != done.end()) {
        for (const std::string& prefix : prefixes) {
            bool seen = false;
            for (int i = kCount - 1; i >= 0; --i) {
                const bool present = readBack(prefix + std::to_string(i)).status == ERROR_SUCCESS;
                EXPECT_TRUE(present || !seen) << prefix << i << " vanished";
                seen = seen || present;
            }
        }
        for (std::size_t c = 0; c < children.size(); ++c) {
            if (!done[c]) done[c] = ::waitpid(children[c], &statuses[c], WNOHANG) != 0;
        }
    }
    for (const int status : statuses) {
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0);
    }
    for (const std::string& prefix : prefixes) {
        for (int i = 0; i < kCount; ++i) {
            EXPECT_EQ(readBack(prefix + std::to_string(i)).data,
                      bytesOf("value " + std::to_string(i)))
                << prefix << i;
        }
    }
}

}  // namespace
}  // namespace vantrel::registry
