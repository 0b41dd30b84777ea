#pragma once

#include <QMargins>
#include <QRect>

#include "ui/window_layout.h"

namespace vantrel::ui {

// Qt scales for high DPI itself: the window is laid out in logical pixels, as
// at 96 dots per inch, 15 twips to a pixel.
inline constexpr int kLogicalDpi = 96;

inline int toPixels(double twips) { return twipsToPixels(twips, kLogicalDpi); }
inline float toTwips(int pixels) { return pixelsToTwips(pixels, kLogicalDpi); }

inline QRect twipsRect(const TwipsRect& place) {
    const PixelRect pixels = toPixels(place, kLogicalDpi);
    return {pixels.left, pixels.top, pixels.width, pixels.height};
}
inline QRect twipsRect(int left, int top, int width, int height) {
    return twipsRect(TwipsRect{left, top, width, height});
}

// The outer size counts a frame around the client area. Window managers draw
// their frames only once the window is shown, and each its own, so the frame
// is a fixed nominal one: the size taken at load and the size set later must
// use the same.
inline const QMargins kNominalFrame{4, 26, 4, 4};

}  // namespace vantrel::ui
