#pragma once

#include "registry/registry_api.h"

namespace vantrel::registry {

// The numbers of the predefined roots, HKEY_CLASSES_ROOT to HKEY_CURRENT_CONFIG
// (registry_constants.h). Without those names here, the Windows registry can
// include this header and <windows.h>, whose macros bear the same names.
inline constexpr HKEY kFirstRootKey = 0x80000000u;
inline constexpr HKEY kLastRootKey = 0x80000005u;

constexpr bool isRootKey(HKEY key) { return key >= kFirstRootKey && key <= kLastRootKey; }

}  // namespace vantrel::registry
