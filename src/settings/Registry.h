#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "registry/registry_api.h"

namespace vantrel::settings {

// The four registry operations the settings are kept with. Each one opens (or
// creates) its key, does its work and closes the key again, on every path: no
// key handle outlives a call. Registry failures are silent (defaults on read,
// a status on write); the errors they raise are platform::Failure.

// What ReadRegBytes falls back on: nothing, a byte sequence, a byte, a 16- or
// 32-bit signed integer, or a value of another kind (text, a number with a
// fraction), which counts as nothing.
using RegBytesDefault = std::variant<std::monostate, std::vector<std::uint8_t>, std::uint8_t,
                                     std::int16_t, std::int32_t, std::string, double>;

// The REG_SZ value `valueName` of the key, up to its first NUL; `defaultText`
// when the key or value is missing or the value has another type. Throws
// Failure("Overflow") when the first NUL lies beyond byte 32767.
std::string ReadRegText(registry::RegistryApi& registry, registry::HKEY root,
                        const std::string& keyPath, const std::string& valueName,
                        const std::string& defaultText = "");

// Stores `text` as a REG_SZ value (its bytes, no terminating NUL), creating
// the key when missing. 0, or the error code of the first step that failed;
// in a registry batch, storing is the batch's end, which gives its own outcome.
std::int32_t WriteRegText(registry::RegistryApi& registry, registry::HKEY root,
                          const std::string& keyPath, const std::string& valueName,
                          const std::string& text);

// The REG_BINARY value `valueName` of the key; the fallback of `defaultValue`
// when the key or value is missing or the value has another type. Throws
// Failure("Overflow") for an integer default outside 0..255 (before touching
// the registry) and Failure("Subscript out of range") for a stored value of
// zero bytes.
std::vector<std::uint8_t> ReadRegBytes(registry::RegistryApi& registry, registry::HKEY root,
                                       const std::string& keyPath, const std::string& valueName,
                                       const RegBytesDefault& defaultValue = {});

// Stores `bytes` as a REG_BINARY value, creating the key when missing; failures
// are dropped. Throws Failure("Subscript out of range") for an empty sequence,
// before touching the registry.
void WriteRegBytes(registry::RegistryApi& registry, registry::HKEY root, const std::string& keyPath,
                   const std::string& valueName, const std::vector<std::uint8_t>& bytes);

}  // namespace vantrel::settings
