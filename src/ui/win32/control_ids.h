#pragma once

// Windows only: the identifiers of the window's controls.

#include <windows.h>

#include "ui/window_layout.h"

namespace vantrel::ui::win32 {

inline constexpr int kFirstControlId = 100;

// The dialog manager presses IDOK's button for Enter (when no other command
// button has the focus) and IDCANCEL's for Esc.
inline int controlId(const ControlLayout& control) {
    if (control.name == kDefaultButton) return IDOK;
    if (control.name == kCancelButton) return IDCANCEL;
    return kFirstControlId + control.tabIndex;
}

}  // namespace vantrel::ui::win32
