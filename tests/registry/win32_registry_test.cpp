// The settings in the real Windows registry: texts in UTF-8 here, UTF-16 there.

#include <gtest/gtest.h>

#include "platform/wide_text.h"
#include "registry/registry_constants.h"
#include "settings/Registry.h"
#include "support/scratch_registry.h"

namespace vantrel::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr auto kMachine = registry::HKEY_LOCAL_MACHINE;

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

    std::uint32_t type = 0;
    std::wstring stored = scratch.storedText("VOBPATH", type);
    if (!stored.empty() && stored.back() == L'\0') stored.pop_back();  // the system may add it
    EXPECT_EQ(stored, platform::toWide(folder)) << "UTF-16, as other programs read it";
    EXPECT_EQ(type, registry::REG_SZ);
}

TEST(Win32Registry, TextsOtherProgramsStoredWithANulOrToExpandAreReadByTheRules) {
    ScratchRegistry scratch;
    // With their NUL, as regedit stores them.
    ASSERT_EQ(scratch.storeText("DESTPATH", registry::REG_SZ, L"E:\\out\\"), 0);
    ASSERT_EQ(scratch.storeText("VOBPATH", registry::REG_EXPAND_SZ, L"E:\\out\\"), 0);
    EXPECT_EQ(settings::ReadRegText(scratch.api(), kMachine, scratch.key(), "DESTPATH", "C:\\"),
              "E:\\out\\");
    EXPECT_EQ(settings::ReadRegText(scratch.api(), kMachine, scratch.key(), "VOBPATH", "x"), "x");
}

}  // namespace
}  // namespace vantrel::testing
