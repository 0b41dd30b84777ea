#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "registry/key_table.h"
#include "registry/regedit_document.h"
#include "registry/registry_api.h"

namespace vantrel::registry {

// The registry kept in one text file in the REGEDIT4 layout of registry
// exports (regedit::Document):
//
//   REGEDIT4
//
//   [HKEY_LOCAL_MACHINE\SOFTWARE\TORVELLANCE\Vantrel]
//   "VOBPATH"="/home/u/dvd/"
//   "ALERT"=hex:01
//
// A key exists when its section does. Key and value names compare without
// regard to case. Every call reads the file afresh, so several running copies
// of the program see each other's values; every change is made on a fresh read
// under the file's lock and replaces the file at once (see changeStoreFile).
// In a batch (beginBatch, endBatch) the calls read the file once, at the first
// that needs it, and the changes are kept and made together at the end, on one
// fresh read under the lock: a window's load reads its store once, its save
// writes it once. The batch's end says whether its changes were stored.
// Lines it cannot read count as missing, and a change rewrites only the line
// it changes or adds: every other byte of the file stays as it was. It never
// throws; a change it cannot store returns a Windows error code.
class RegistryFileStore final : public RegistryApi {
  public:
    explicit RegistryFileStore(std::string storePath);
    RegistryFileStore(const RegistryFileStore&) = delete;
    RegistryFileStore& operator=(const RegistryFileStore&) = delete;

    // $XDG_CONFIG_HOME/vantrel/registry.reg, or ~/.config/vantrel/registry.reg
    // when XDG_CONFIG_HOME is unset, empty or not an absolute path.
    static std::string defaultStorePath();

    const std::string& storePath() const { return m_storePath; }

    std::int32_t RegOpenKeyA(HKEY root, const std::string& subKey, HKEY& result) override;
    std::int32_t RegCreateKeyA(HKEY root, const std::string& subKey, HKEY& result) override;
    std::int32_t RegQueryValueExA(HKEY key, const std::string& valueName, std::uint32_t* type,
                                  unsigned char* data, std::uint32_t* size) override;
    std::int32_t RegSetValueExA(HKEY key, const std::string& valueName, std::uint32_t type,
                                const unsigned char* data, std::uint32_t size) override;
    std::int32_t RegCloseKey(HKEY key) override;
    void beginBatch() override;
    std::int32_t endBatch() noexcept override;

  private:
    using KeyPath = regedit::KeyPath;

    std::int32_t keyOf(HKEY key, KeyPath& path) const;
    std::int32_t below(HKEY key, const std::string& subKey, KeyPath& path) const;
    std::int32_t openKey(HKEY root, const std::string& subKey, HKEY& result);
    std::int32_t createKey(HKEY root, const std::string& subKey, HKEY& result);
    std::int32_t queryValue(HKEY key, const std::string& valueName, std::uint32_t* type,
                            unsigned char* data, std::uint32_t* size);
    std::int32_t setValue(HKEY key, const std::string& valueName, std::uint32_t type,
                          const unsigned char* data, std::uint32_t size);

    // A change to the store; false when it found nothing to change.
    using Change = std::function<bool(regedit::Document&)>;
    // The store as the calls see it: the file read afresh, or in a batch the
    // one reading of it with the batch's changes made on it.
    std::int32_t withDocument(const std::function<std::int32_t(const regedit::Document&)>& use);
    // Makes a change at once, or in a batch at its end.
    std::int32_t change(Change change);

    std::string m_storePath;
    KeyTable<KeyPath> m_handles;
    int m_batchDepth = 0;
    std::optional<regedit::Document> m_batchRead;  // read at the batch's first read
    std::vector<Change> m_batchChanges;
};

}  // namespace vantrel::registry
