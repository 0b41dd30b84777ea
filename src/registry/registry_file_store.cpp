#include "registry/registry_file_store.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <string_view>
#include <utility>

#include "platform/paths.h"
#include "registry/locked_file_update.h"
#include "registry/regedit_document.h"
#include "registry/registry_constants.h"

namespace vantrel::registry {
namespace {

using regedit::Document;
using regedit::KeyPath;
using regedit::storable;
using Bytes = std::vector<unsigned char>;

// The part of a name the Windows calls see: up to its first NUL.
std::string_view cName(const std::string& name) { return std::string_view(name.c_str()); }

std::int32_t loadDocument(const std::string& path, std::optional<Document>& doc) {
    std::string text;
    const std::int32_t status = readStoreFile(path, text);
    if (status == ERROR_SUCCESS) doc.emplace(text);
    return status;
}

// Changes the store under its lock, on a fresh read of it.
std::int32_t updateStore(const std::string& path, const std::function<bool(Document&)>& change) {
    return changeStoreFile(path, [&](std::string& text) {
        Document doc(text);
        if (!change(doc)) return false;
        text = doc.text();
        return true;
    });
}

// The store never throws: running out of memory is an error code like any other.
template <typename Call>
std::int32_t guarded(const Call& call) noexcept {
    try {
        return call();
    } catch (...) {
        return ERROR_OUTOFMEMORY;
    }
}

}  // namespace

RegistryFileStore::RegistryFileStore(std::string storePath) : m_storePath(std::move(storePath)) {}

std::string RegistryFileStore::defaultStorePath() {
    return platform::joinPath(platform::userConfigFolder(), "registry.reg");
}

std::int32_t RegistryFileStore::RegOpenKeyA(HKEY root, const std::string& subKey, HKEY& result) {
    return guarded([&] { return openKey(root, subKey, result); });
}

std::int32_t RegistryFileStore::RegCreateKeyA(HKEY root, const std::string& subKey, HKEY& result) {
    return guarded([&] { return createKey(root, subKey, result); });
}

std::int32_t RegistryFileStore::RegQueryValueExA(HKEY key, const std::string& valueName,
                                                 std::uint32_t* type, unsigned char* data,
                                                 std::uint32_t* size) {
    return guarded([&] { return queryValue(key, valueName, type, data, size); });
}

std::int32_t RegistryFileStore::RegSetValueExA(HKEY key, const std::string& valueName,
                                               std::uint32_t type, const unsigned char* data,
                                               std::uint32_t size) {
    return guarded([&] { return setValue(key, valueName, type, data, size); });
}

std::int32_t RegistryFileStore::RegCloseKey(HKEY key) {
    if (isRootKey(key)) return ERROR_SUCCESS;
    return m_handles.take(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

std::int32_t RegistryFileStore::keyOf(HKEY key, KeyPath& path) const {
    if (isRootKey(key)) {
        path = KeyPath{key, {}};
        return ERROR_SUCCESS;
    }
    const KeyPath* held = m_handles.find(key);
    if (held == nullptr) return ERROR_INVALID_HANDLE;
    path = *held;
    return ERROR_SUCCESS;
}

std::int32_t RegistryFileStore::below(HKEY key, const std::string& subKey, KeyPath& path) const {
    const std::int32_t status = keyOf(key, path);
    if (status != ERROR_SUCCESS) return status;
    for (std::string& name : regedit::splitKeyPath(cName(subKey))) {
        path.names.push_back(std::move(name));
    }
    return ERROR_SUCCESS;
}

std::int32_t RegistryFileStore::openKey(HKEY root, const std::string& subKey, HKEY& result) {
    KeyPath path;
    std::int32_t status = below(root, subKey, path);
    if (status != ERROR_SUCCESS) return status;
    if (!path.names.empty()) {
        status = withDocument([&](const Document& doc) {
            return doc.hasKey(path) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
        });
        if (status != ERROR_SUCCESS) return status;
    }
    result = m_handles.add(std::move(path));
    return ERROR_SUCCESS;
}

std::int32_t RegistryFileStore::createKey(HKEY root, const std::string& subKey, HKEY& result) {
    KeyPath path;
    std::int32_t status = below(root, subKey, path);
    if (status != ERROR_SUCCESS) return status;
    if (!std::all_of(path.names.begin(), path.names.end(),
                     [](const std::string& name) { return storable(name); })) {
        return ERROR_INVALID_PARAMETER;
    }
    // Outside a batch, a key that is there already costs a read, not a write.
    const bool present = !path.names.empty() && m_batchDepth == 0 &&
                         withDocument([&](const Document& doc) {
                             return doc.hasKey(path) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
                         }) == ERROR_SUCCESS;
    if (!path.names.empty() && !present) {
        status = change([path](Document& doc) {
            if (doc.hasKey(path)) return false;
            doc.makeKey(path);
            return true;
        });
        if (status != ERROR_SUCCESS) return status;
    }
    result = m_handles.add(std::move(path));
    return ERROR_SUCCESS;
}

std::int32_t RegistryFileStore::queryValue(HKEY key, const std::string& valueName,
                                           std::uint32_t* type, unsigned char* data,
                                           std::uint32_t* size) {
    KeyPath path;
    const std::int32_t status = keyOf(key, path);
    if (status != ERROR_SUCCESS) return status;
    if (data != nullptr && size == nullptr) return ERROR_INVALID_PARAMETER;
    return withDocument([&](const Document& doc) {
        const regedit::Value* value = doc.find(path, cName(valueName));
        if (value == nullptr) return ERROR_FILE_NOT_FOUND;
        if (type != nullptr) *type = value->type;
        const auto needed = static_cast<std::uint32_t>(value->data.size());
        if (data != nullptr) {
            if (*size < needed) {
                *size = needed;
                return ERROR_MORE_DATA;
            }
            std::copy(value->data.begin(), value->data.end(), data);
        }
        if (size != nullptr) *size = needed;
        return ERROR_SUCCESS;
    });
}

std::int32_t RegistryFileStore::setValue(HKEY key, const std::string& valueName, std::uint32_t type,
                                         const unsigned char* data, std::uint32_t size) {
    KeyPath path;
    const std::int32_t status = keyOf(key, path);
    if (status != ERROR_SUCCESS) return status;
    const std::string_view name = cName(valueName);
    if ((data == nullptr && size > 0) || !storable(name)) return ERROR_INVALID_PARAMETER;
    const regedit::Value value{std::string(name), type,
                               size > 0 ? Bytes(data, data + size) : Bytes()};
    return change([path, value](Document& doc) {
        doc.set(path, value);
        return true;
    });
}

void RegistryFileStore::beginBatch() { ++m_batchDepth; }

std::int32_t RegistryFileStore::endBatch() noexcept {
    if (m_batchDepth == 0 || --m_batchDepth > 0) return ERROR_SUCCESS;
    m_batchRead.reset();
    std::vector<Change> changes;
    changes.swap(m_batchChanges);
    if (changes.empty()) return ERROR_SUCCESS;
    // What cannot be stored is dropped, as a failed write outside a batch is,
    // and the error code says so.
    return guarded([&] {
        return updateStore(m_storePath, [&](Document& doc) {
            bool changed = false;
            for (const Change& made : changes) changed |= made(doc);
            return changed;
        });
    });
}

std::int32_t RegistryFileStore::withDocument(
    const std::function<std::int32_t(const Document&)>& use) {
    if (m_batchDepth == 0) {
        std::optional<Document> doc;
        const std::int32_t status = loadDocument(m_storePath, doc);
        return status != ERROR_SUCCESS ? status : use(*doc);
    }
    if (!m_batchRead) {
        const std::int32_t status = loadDocument(m_storePath, m_batchRead);
        if (status != ERROR_SUCCESS) return status;
        for (const Change& made : m_batchChanges) made(*m_batchRead);
    }
    return use(*m_batchRead);
}

std::int32_t RegistryFileStore::change(Change change) {
    if (m_batchDepth == 0) return updateStore(m_storePath, change);
    if (m_batchRead) change(*m_batchRead);
    m_batchChanges.push_back(std::move(change));
    return ERROR_SUCCESS;
}

}  // namespace vantrel::registry
