#pragma once

#include <QMargins>
#include <QRect>
#include <cmath>

namespace vantrel::ui {

// The window's places and sizes are given in twips: 15 to a logical pixel.
inline constexpr double kTwipsPerPixel = 15.0;

inline int toPixels(double twips) { return static_cast<int>(std::lround(twips / kTwipsPerPixel)); }
inline float toTwips(int pixels) { return static_cast<float>(pixels * kTwipsPerPixel); }

inline QRect twipsRect(int left, int top, int width, int height) {
    return {toPixels(left), toPixels(top), toPixels(width), toPixels(height)};
}

// The client area: 7125 x 2805 twips.
inline constexpr int kClientWidthTwips = 7125;
inline constexpr int kClientHeightTwips = 2805;

// The outer size counts a frame around the client area. Window managers draw
// their frames only once the window is shown, and each its own, so the frame
// is a fixed nominal one: the size taken at load and the size set later must
// use the same.
inline const QMargins kNominalFrame{4, 26, 4, 4};

}  // namespace vantrel::ui
