#include "settings/Registry.h"

#include <algorithm>
#include <optional>
#include <type_traits>

#include "platform/failure.h"
#include "registry/registry_constants.h"

namespace vantrel::settings {
namespace {

using registry::ERROR_MORE_DATA;
using registry::ERROR_SUCCESS;
using registry::HKEY;
using registry::kNullKey;
using registry::REG_BINARY;
using registry::REG_NONE;
using registry::REG_SZ;
using registry::RegistryApi;
using Bytes = std::vector<std::uint8_t>;

// Positions in a text are held as 16-bit signed numbers.
constexpr std::size_t kLargestPosition = 32767;

// How often a value that grew between being sized and being read is sized
// again before it counts as missing.
constexpr int kReadAttempts = 4;

// A key handle for one operation, closed once when the operation ends, whether
// it returns or raises an error: by close(), which tells how closing went, or
// else when the handle goes out of scope.
class KeyHandle {
  public:
    explicit KeyHandle(RegistryApi& registry) : m_registry(registry) {}
    ~KeyHandle() {
        if (!m_closed) m_registry.RegCloseKey(m_key);
    }
    KeyHandle(const KeyHandle&) = delete;
    KeyHandle& operator=(const KeyHandle&) = delete;
    HKEY& get() { return m_key; }
    std::int32_t close() {
        m_closed = true;
        return m_registry.RegCloseKey(m_key);
    }

  private:
    RegistryApi& m_registry;
    HKEY m_key = kNullKey;
    bool m_closed = false;
};

// The value's bytes when it is there with type `wanted`, else nothing. The
// value is sized (type and size, no buffer), then read into a buffer of that
// size filled with `fill`; the status of that read is not tested, except that
// a value another running copy of the program enlarged in between is sized
// again, and one it shortened is cut to its new size. A REG_BINARY value of
// zero bytes raises "Subscript out of range".
std::optional<Bytes> readValue(RegistryApi& registry, HKEY key, const std::string& name,
                               std::uint32_t wanted, std::uint8_t fill) {
    for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
        std::uint32_t type = REG_NONE;
        std::uint32_t size = 0;
        const std::int32_t status = registry.RegQueryValueExA(key, name, &type, nullptr, &size);
        if (status != ERROR_SUCCESS || type != wanted) return std::nullopt;
        if (wanted == REG_BINARY && size == 0) {
            throw platform::Failure("Subscript out of range");
        }
        Bytes buffer(size, fill);
        std::uint32_t filled = size;
        const std::int32_t read =
            registry.RegQueryValueExA(key, name, &type, buffer.data(), &filled);
        if (read == ERROR_MORE_DATA) continue;
        if (read == ERROR_SUCCESS && filled < size) buffer.resize(filled);
        return buffer;
    }
    return std::nullopt;
}

// The one-byte sequence (or the sequence) ReadRegBytes falls back on.
Bytes fallbackOf(const RegBytesDefault& defaultValue) {
    return std::visit(
        [](const auto& value) -> Bytes {
            using Kind = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<Kind, Bytes>) {
                return value;
            } else if constexpr (std::is_same_v<Kind, std::uint8_t>) {
                return Bytes{value};
            } else if constexpr (std::is_same_v<Kind, std::int16_t> ||
                                 std::is_same_v<Kind, std::int32_t>) {
                if (value < 0 || value > 255) throw platform::Failure("Overflow");
                return Bytes{static_cast<std::uint8_t>(value)};
            } else {
                return Bytes{0};
            }
        },
        defaultValue);
}

}  // namespace

std::string ReadRegText(RegistryApi& registry, HKEY root, const std::string& keyPath,
                        const std::string& valueName, const std::string& defaultText) {
    std::string result = defaultText;
    KeyHandle key(registry);
    registry.RegOpenKeyA(root, keyPath, key.get());
    if (const auto text = readValue(registry, key.get(), valueName, REG_SZ, ' ')) {
        const auto nul = std::find(text->begin(), text->end(), 0);
        if (nul != text->end() &&
            static_cast<std::size_t>(nul - text->begin()) >= kLargestPosition) {
            throw platform::Failure("Overflow");
        }
        result.assign(text->begin(), nul);
    }
    return result;
}

std::int32_t WriteRegText(RegistryApi& registry, HKEY root, const std::string& keyPath,
                          const std::string& valueName, const std::string& text) {
    KeyHandle key(registry);
    std::int32_t status = registry.RegCreateKeyA(root, keyPath, key.get());
    if (status != ERROR_SUCCESS) return status;
    status = registry.RegSetValueExA(key.get(), valueName, REG_SZ,
                                     reinterpret_cast<const unsigned char*>(text.data()),
                                     static_cast<std::uint32_t>(text.size()));
    if (status != ERROR_SUCCESS) return status;
    return key.close();
}

std::vector<std::uint8_t> ReadRegBytes(RegistryApi& registry, HKEY root, const std::string& keyPath,
                                       const std::string& valueName,
                                       const RegBytesDefault& defaultValue) {
    Bytes result = fallbackOf(defaultValue);
    KeyHandle key(registry);
    registry.RegOpenKeyA(root, keyPath, key.get());
    if (auto bytes = readValue(registry, key.get(), valueName, REG_BINARY, 0)) {
        result = std::move(*bytes);
    }
    return result;
}

void WriteRegBytes(RegistryApi& registry, HKEY root, const std::string& keyPath,
                   const std::string& valueName, const std::vector<std::uint8_t>& bytes) {
    if (bytes.empty()) throw platform::Failure("Subscript out of range");
    KeyHandle key(registry);
    registry.RegCreateKeyA(root, keyPath, key.get());
    registry.RegSetValueExA(key.get(), valueName, REG_BINARY, bytes.data(),
                            static_cast<std::uint32_t>(bytes.size()));
}

}  // namespace vantrel::settings
