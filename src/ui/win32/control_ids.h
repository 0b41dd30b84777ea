#pragma once

// Windows only: the identifiers of the window's controls.

#include <windows.h>

#include "ui/window_layout.h"

namespace vantrel::ui::win32 {

inline constexpr int kFirstControlId = 100;

// The dialog manager presses IDOK's button for Enter (when no other command
// button has the focus) and IDCANCEL's for Esc.
constexpr int controlId(ControlId id) {
    if (id == kDefaultButton) return IDOK;
    if (id == kCancelButton) return IDCANCEL;
    return kFirstControlId + int(id);
}

}  // namespace vantrel::ui::win32
