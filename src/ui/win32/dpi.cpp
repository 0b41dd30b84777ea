#include "ui/win32/dpi.h"

#include <initializer_list>

namespace vantrel::ui::win32 {
namespace {

// Functions of later Windows versions than the program needs, looked up when
// first used; null where the system lacks them.
template <class Function>
Function userFunction(const char* name) {
    const FARPROC found = ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), name);
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using GetSystemMetricsForDpiFunction = int(WINAPI*)(int, UINT);
using AdjustWindowRectExForDpiFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
using SystemParametersInfoForDpiFunction = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);
using SetDialogDpiChangeBehaviorFunction = BOOL(WINAPI*)(HWND, int, int);

// DIALOG_DPI_CHANGE_BEHAVIORS: no resizing, no new fonts, no new places.
constexpr int kDisableAllDialogDpiChanges = 1;

int systemDpi() {
    const HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

NONCLIENTMETRICSW nonClientMetrics(int dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    static const auto forDpi =
        userFunction<SystemParametersInfoForDpiFunction>("SystemParametersInfoForDpi");
    if (forDpi != nullptr &&
        forDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, UINT(dpi)) != FALSE)
        return metrics;
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    // Given at the system's DPI.
    const int from = systemDpi();
    for (LOGFONTW* font : {&metrics.lfMessageFont, &metrics.lfStatusFont})
        font->lfHeight = ::MulDiv(font->lfHeight, dpi, from);
    return metrics;
}

}  // namespace

int windowDpi(HWND window) {
    static const auto forWindow = userFunction<GetDpiForWindowFunction>("GetDpiForWindow");
    const UINT dpi = forWindow != nullptr ? forWindow(window) : 0;
    return dpi > 0 ? int(dpi) : systemDpi();
}

int systemMetric(int index, int dpi) {
    static const auto forDpi =
        userFunction<GetSystemMetricsForDpiFunction>("GetSystemMetricsForDpi");
    if (forDpi != nullptr) return forDpi(index, UINT(dpi));
    return ::MulDiv(::GetSystemMetrics(index), dpi, systemDpi());
}

SIZE outerSize(SIZE client, DWORD style, DWORD exStyle, int dpi) {
    RECT rect{0, 0, client.cx, client.cy};
    static const auto forDpi =
        userFunction<AdjustWindowRectExForDpiFunction>("AdjustWindowRectExForDpi");
    if (forDpi == nullptr || forDpi(&rect, style, FALSE, exStyle, UINT(dpi)) == FALSE)
        ::AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

LOGFONTW messageFont(int dpi) { return nonClientMetrics(dpi).lfMessageFont; }

LOGFONTW statusFont(int dpi) { return nonClientMetrics(dpi).lfStatusFont; }

void keepOwnLayoutOnDpiChange(HWND dialog) {
    static const auto behaviour =
        userFunction<SetDialogDpiChangeBehaviorFunction>("SetDialogDpiChangeBehavior");
    if (behaviour != nullptr)
        behaviour(dialog, kDisableAllDialogDpiChanges, kDisableAllDialogDpiChanges);
}

}  // namespace vantrel::ui::win32
