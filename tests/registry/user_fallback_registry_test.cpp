// The settings of a standard user, who may read HKEY_LOCAL_MACHINE but not
// create keys or write values there: kept in the user's own key instead.

#include "registry/user_fallback_registry.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "registry/registry_constants.h"
#include "settings/Registry.h"
#include "support/scratch_registry.h"

namespace vantrel::testing {
namespace {

using registry::HKEY;
using registry::HKEY_CURRENT_USER;
using registry::HKEY_LOCAL_MACHINE;
using Bytes = std::vector<std::uint8_t>;

enum class User { Administrator, Standard };

// The registry as a user sees it. An administrator may do anything; a standard
// user may open and read under HKEY_LOCAL_MACHINE and "create" a key that is
// there already (it opens for reading), but a new key and every write there
// are refused. Other roots are everyone's.
class RegistryAs final : public registry::RegistryApi {
  public:
    RegistryAs(registry::RegistryApi& inner, User user) : m_inner(inner), m_user(user) {}

    std::int32_t RegOpenKeyA(HKEY root, const std::string& subKey, HKEY& result) override {
        const std::int32_t status = m_inner.RegOpenKeyA(root, subKey, result);
        if (status == registry::ERROR_SUCCESS && root == HKEY_LOCAL_MACHINE)
            m_machineKeys.push_back(result);
        return status;
    }
    std::int32_t RegCreateKeyA(HKEY root, const std::string& subKey, HKEY& result) override {
        if (m_user == User::Administrator || root != HKEY_LOCAL_MACHINE)
            return m_inner.RegCreateKeyA(root, subKey, result);
        const std::int32_t status = RegOpenKeyA(root, subKey, result);
        return status == registry::ERROR_SUCCESS ? status : registry::ERROR_ACCESS_DENIED;
    }
    std::int32_t RegQueryValueExA(HKEY key, const std::string& valueName, std::uint32_t* type,
                                  unsigned char* data, std::uint32_t* size) override {
        return m_inner.RegQueryValueExA(key, valueName, type, data, size);
    }
    std::int32_t RegSetValueExA(HKEY key, const std::string& valueName, std::uint32_t type,
                                const unsigned char* data, std::uint32_t size) override {
        if (m_user == User::Standard &&
            std::find(m_machineKeys.begin(), m_machineKeys.end(), key) != m_machineKeys.end())
            return registry::ERROR_ACCESS_DENIED;
        return m_inner.RegSetValueExA(key, valueName, type, data, size);
    }
    std::int32_t RegCloseKey(HKEY key) override {
        m_machineKeys.erase(std::remove(m_machineKeys.begin(), m_machineKeys.end(), key),
                            m_machineKeys.end());
        return m_inner.RegCloseKey(key);
    }

  private:
    registry::RegistryApi& m_inner;
    User m_user;
    std::vector<HKEY> m_machineKeys;
};

class UserFallbackTest : public ::testing::Test {
  protected:
    std::string read(registry::RegistryApi& registry, HKEY root, const char* name) {
        return settings::ReadRegText(registry, root, key(), name, "(missing)");
    }
    std::int32_t write(registry::RegistryApi& registry, HKEY root, const char* name,
                       const std::string& text) {
        return settings::WriteRegText(registry, root, key(), name, text);
    }
    const std::string& key() const { return scratch.key(); }

    ScratchRegistry scratch;
};

TEST_F(UserFallbackTest, AStandardUsersSavesLandInTheirOwnKeyAndAreReadFirst) {
    // The settings an administrator left for every user.
    ASSERT_EQ(write(scratch.api(), HKEY_LOCAL_MACHINE, "VOBPATH", "D:\\admin"), 0);
    ASSERT_EQ(write(scratch.api(), HKEY_LOCAL_MACHINE, "DESTPATH", "E:\\admin"), 0);

    registry::UserFallbackRegistry user(
        std::make_unique<RegistryAs>(scratch.api(), User::Standard));
    EXPECT_EQ(read(user, HKEY_LOCAL_MACHINE, "VOBPATH"), "D:\\admin");
    EXPECT_EQ(write(user, HKEY_LOCAL_MACHINE, "VOBPATH", "D:\\mine"), 0);
    settings::WriteRegBytes(user, HKEY_LOCAL_MACHINE, key(), "ALERT", {0});
    EXPECT_EQ(read(user, HKEY_LOCAL_MACHINE, "VOBPATH"), "D:\\mine");
    EXPECT_EQ(settings::ReadRegBytes(user, HKEY_LOCAL_MACHINE, key(), "ALERT", std::int16_t{1}),
              Bytes{0});
    EXPECT_EQ(read(user, HKEY_LOCAL_MACHINE, "DESTPATH"), "E:\\admin")
        << "what the user never saved comes from the machine";

    EXPECT_EQ(read(scratch.api(), HKEY_CURRENT_USER, "VOBPATH"), "D:\\mine");
    EXPECT_EQ(read(scratch.api(), HKEY_LOCAL_MACHINE, "VOBPATH"), "D:\\admin")
        << "the machine's key is left as it was";

    // A key the machine does not have at all is made for the user alone.
    registry::UserFallbackRegistry other(
        std::make_unique<RegistryAs>(scratch.api(), User::Standard));
    const std::string fresh = key() + "\\Fresh";
    EXPECT_EQ(settings::WriteRegText(other, HKEY_LOCAL_MACHINE, fresh, "VOBPATH", "F:\\"), 0);
    EXPECT_EQ(settings::ReadRegText(other, HKEY_LOCAL_MACHINE, fresh, "VOBPATH"), "F:\\");
    EXPECT_EQ(settings::ReadRegText(scratch.api(), HKEY_CURRENT_USER, fresh, "VOBPATH"), "F:\\");
}

TEST_F(UserFallbackTest, AMachineKeyThatCanBeWrittenIsUsedAsSpecified) {
    registry::UserFallbackRegistry admin(
        std::make_unique<RegistryAs>(scratch.api(), User::Administrator));
    EXPECT_EQ(write(admin, HKEY_LOCAL_MACHINE, "VOBPATH", "C:\\dvd"), 0);
    EXPECT_EQ(read(scratch.api(), HKEY_LOCAL_MACHINE, "VOBPATH"), "C:\\dvd");
    EXPECT_EQ(read(scratch.api(), HKEY_CURRENT_USER, "VOBPATH"), "(missing)");

    // Once the user has a key of their own, reads find it first: saves go there too.
    ASSERT_EQ(write(scratch.api(), HKEY_CURRENT_USER, "VOBPATH", "C:\\old"), 0);
    EXPECT_EQ(write(admin, HKEY_LOCAL_MACHINE, "VOBPATH", "C:\\new"), 0);
    EXPECT_EQ(read(admin, HKEY_LOCAL_MACHINE, "VOBPATH"), "C:\\new");
    EXPECT_EQ(read(scratch.api(), HKEY_LOCAL_MACHINE, "VOBPATH"), "C:\\dvd");
}

}  // namespace
}  // namespace vantrel::testing
