#pragma once

// The screen's DPI as the window sees it, with the per-monitor functions of
// Windows 10 where the system has them and the system-wide ones before that.

#include <windows.h>

namespace vantrel::ui::win32 {

// The DPI `window` is shown at.
int windowDpi(HWND window);

// A system metric (GetSystemMetrics) at `dpi`.
int systemMetric(int index, int dpi);

// The outer size of a window of that style whose client area is `client`.
SIZE outerSize(SIZE client, DWORD style, DWORD exStyle, int dpi);

// The fonts the system uses for messages and for status bars, at `dpi`.
LOGFONTW messageFont(int dpi);
LOGFONTW statusFont(int dpi);

// A dialog left to lay itself out again when its DPI changes, as the main
// window does from its twips: the system's own rescaling is turned off.
void keepOwnLayoutOnDpiChange(HWND dialog);

}  // namespace vantrel::ui::win32
