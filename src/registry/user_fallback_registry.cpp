#include "registry/user_fallback_registry.h"

#include <utility>

#include "registry/registry_constants.h"

namespace vantrel::registry {

UserFallbackRegistry::UserFallbackRegistry(std::unique_ptr<RegistryApi> inner)
    : m_inner(std::move(inner)) {}

UserFallbackRegistry::~UserFallbackRegistry() {
    for (const auto& [handle, key] : m_keys) {
        if (key.machine != kNullKey) m_inner->RegCloseKey(key.machine);
        if (key.user != kNullKey) m_inner->RegCloseKey(key.user);
    }
}

std::int32_t UserFallbackRegistry::RegOpenKeyA(HKEY root, const std::string& subKey, HKEY& result) {
    Key key{subKey};
    if (root != HKEY_LOCAL_MACHINE) {
        const std::int32_t status = m_inner->RegOpenKeyA(root, subKey, key.machine);
        if (status == ERROR_SUCCESS) result = m_keys.add(std::move(key));
        return status;
    }
    key.underMachine = true;
    m_inner->RegOpenKeyA(HKEY_CURRENT_USER, subKey, key.user);
    const std::int32_t status = m_inner->RegOpenKeyA(HKEY_LOCAL_MACHINE, subKey, key.machine);
    if (key.user == kNullKey && status != ERROR_SUCCESS) return status;
    key.writesToUser = key.user != kNullKey;
    result = m_keys.add(std::move(key));
    return ERROR_SUCCESS;
}

std::int32_t UserFallbackRegistry::RegCreateKeyA(HKEY root, const std::string& subKey,
                                                 HKEY& result) {
    Key key{subKey};
    if (root != HKEY_LOCAL_MACHINE) {
        const std::int32_t status = m_inner->RegCreateKeyA(root, subKey, key.machine);
        if (status == ERROR_SUCCESS) result = m_keys.add(std::move(key));
        return status;
    }
    key.underMachine = true;
    if (m_inner->RegOpenKeyA(HKEY_CURRENT_USER, subKey, key.user) == ERROR_SUCCESS) {
        key.writesToUser = true;
        m_inner->RegOpenKeyA(HKEY_LOCAL_MACHINE, subKey, key.machine);
    } else if (m_inner->RegCreateKeyA(HKEY_LOCAL_MACHINE, subKey, key.machine) != ERROR_SUCCESS) {
        const std::int32_t status = writeToUser(key);
        if (status != ERROR_SUCCESS) return status;
    }
    result = m_keys.add(std::move(key));
    return ERROR_SUCCESS;
}

std::int32_t UserFallbackRegistry::writeToUser(Key& key) {
    key.writesToUser = true;
    if (key.user != kNullKey) return ERROR_SUCCESS;
    return m_inner->RegCreateKeyA(HKEY_CURRENT_USER, key.subKey, key.user);
}

std::int32_t UserFallbackRegistry::RegQueryValueExA(HKEY handle, const std::string& valueName,
                                                    std::uint32_t* type, unsigned char* data,
                                                    std::uint32_t* size) {
    if (isRootKey(handle)) return m_inner->RegQueryValueExA(handle, valueName, type, data, size);
    const Key* found = m_keys.find(handle);
    if (found == nullptr) return ERROR_INVALID_HANDLE;
    const Key& key = *found;
    const std::uint32_t room = size != nullptr ? *size : 0;
    if (key.user != kNullKey) {
        const std::int32_t status =
            m_inner->RegQueryValueExA(key.user, valueName, type, data, size);
        if (status != ERROR_FILE_NOT_FOUND || key.machine == kNullKey) return status;
        if (size != nullptr) *size = room;
    }
    return m_inner->RegQueryValueExA(key.machine, valueName, type, data, size);
}

std::int32_t UserFallbackRegistry::RegSetValueExA(HKEY handle, const std::string& valueName,
                                                  std::uint32_t type, const unsigned char* data,
                                                  std::uint32_t size) {
    if (isRootKey(handle)) return m_inner->RegSetValueExA(handle, valueName, type, data, size);
    Key* found = m_keys.find(handle);
    if (found == nullptr) return ERROR_INVALID_HANDLE;
    Key& key = *found;
    if (!key.writesToUser) {
        const std::int32_t status =
            m_inner->RegSetValueExA(key.machine, valueName, type, data, size);
        if (status == ERROR_SUCCESS || !key.underMachine) return status;
        const std::int32_t created = writeToUser(key);  // refused: the user's own key
        if (created != ERROR_SUCCESS) return created;
    }
    return m_inner->RegSetValueExA(key.user, valueName, type, data, size);
}

std::int32_t UserFallbackRegistry::RegCloseKey(HKEY handle) {
    if (isRootKey(handle)) return m_inner->RegCloseKey(handle);
    const std::optional<Key> key = m_keys.take(handle);
    if (!key) return ERROR_INVALID_HANDLE;
    std::int32_t status = ERROR_SUCCESS;
    if (key->machine != kNullKey) status = m_inner->RegCloseKey(key->machine);
    if (key->user != kNullKey) {
        const std::int32_t closed = m_inner->RegCloseKey(key->user);
        if (status == ERROR_SUCCESS) status = closed;
    }
    return status;
}

}  // namespace vantrel::registry
