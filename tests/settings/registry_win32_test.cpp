// The settings in the real Windows registry: texts in UTF-8 here, UTF-16 there.

// Before <windows.h>: it turns several of the registry header's names into macros.
#include "settings/Registry.h"
#include "support/scratch_registry.h"

namespace {
constexpr auto kMachine = vantrel::platform::HKEY_LOCAL_MACHINE;
}  // namespace

#include <gtest/gtest.h>
#include <windows.h>

#include "platform/wide_text.h"

namespace vantrel::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A value's bytes as regedit or another program gets them, read as UTF-16.
std::wstring storedText(const std::string& key, const wchar_t* name, DWORD& type) {
    HKEY handle = nullptr;
    wchar_t text[256] = {};
    DWORD size = sizeof text;
    ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, platform::toWide(key).c_str(), 0, KEY_READ, &handle);
    ::RegQueryValueExW(handle, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
    ::RegCloseKey(handle);
    return std::wstring(text, size / sizeof(wchar_t));
}

TEST(Win32Registry, TextsOutsideTheCodePageAndBytesKeepTheirValue) {
    ScratchRegistry scratch;
    const std::string folder =
        "D:\\Filme\\\xCE\x94\xCE\xAF\xCF\x83\xCE\xBA\xCE\xBF\xCF\x82 \xE5\x90\x8D";
    ASSERT_EQ(settings::WriteRegText(scratch.api(), kMachine, scratch.key(), "VOBPATH", folder), 0);
    settings::WriteRegBytes(scratch.api(), kMachine, scratch.key(), "ALERT", {0});
    EXPECT_EQ(settings::ReadRegText(scratch.api(), kMachine, scratch.key(), "VOBPATH"), folder);
    EXPECT_EQ(
        settings::ReadRegBytes(scratch.api(), kMachine, scratch.key(), "ALERT", std::int16_t{1}),
        Bytes{0});

    DWORD type = 0;
    std::wstring stored = storedText(scratch.key(), L"VOBPATH", type);
    if (!stored.empty() && stored.back() == L'\0') stored.pop_back();  // the system may add it
    EXPECT_EQ(stored, platform::toWide(folder)) << "UTF-16, as other programs read it";
    EXPECT_EQ(type, DWORD(REG_SZ));
}

TEST(Win32Registry, TextsOtherProgramsStoredWithANulOrToExpandAreReadByTheRules) {
    ScratchRegistry scratch;
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, platform::toWide(scratch.key()).c_str(), 0,
                                nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    for (const auto& [name, type] : {std::pair{L"DESTPATH", REG_SZ}, {L"VOBPATH", REG_EXPAND_SZ}}) {
        const std::wstring text = L"E:\\out\\";  // with its NUL, as regedit stores it
        ::RegSetValueExW(key, name, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                         DWORD((text.size() + 1) * sizeof(wchar_t)));
    }
    ::RegCloseKey(key);
    EXPECT_EQ(settings::ReadRegText(scratch.api(), kMachine, scratch.key(), "DESTPATH", "C:\\"),
              "E:\\out\\");
    EXPECT_EQ(settings::ReadRegText(scratch.api(), kMachine, scratch.key(), "VOBPATH", "x"), "x");
}

}  // namespace
}  // namespace vantrel::testing
