#pragma once

#include <map>
#include <optional>
#include <utility>

#include "registry/key_numbers.h"

namespace vantrel::registry {

// The keys a registry has handed out, each under a number of its own: never
// null, never a root, never one still held. `Key` is what the registry keeps
// of an open key (its path, or another registry's handles to it).
template <typename Key>
class KeyTable {
  public:
    HKEY add(Key key) {
        do {
            ++m_last;
        } while (m_last == kNullKey || isRootKey(m_last) || m_keys.count(m_last) > 0);
        m_keys.emplace(m_last, std::move(key));
        return m_last;
    }

    // The key handed out as `handle`; null for any other number.
    Key* find(HKEY handle) {
        const auto found = m_keys.find(handle);
        return found == m_keys.end() ? nullptr : &found->second;
    }
    const Key* find(HKEY handle) const {
        const auto found = m_keys.find(handle);
        return found == m_keys.end() ? nullptr : &found->second;
    }

    // Takes the key handed out as `handle` out of the table; nothing for any
    // other number.
    std::optional<Key> take(HKEY handle) {
        const auto found = m_keys.find(handle);
        if (found == m_keys.end()) return std::nullopt;
        Key key = std::move(found->second);
        m_keys.erase(found);
        return key;
    }

    // The keys still held, with their numbers: what a registry closes at its end.
    auto begin() const { return m_keys.begin(); }
    auto end() const { return m_keys.end(); }

  private:
    std::map<HKEY, Key> m_keys;
    HKEY m_last = kNullKey;
};

}  // namespace vantrel::registry
