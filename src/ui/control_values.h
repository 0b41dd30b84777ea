#pragma once

// How every window shows the engine's values on its controls, free of any
// toolkit: bar positions, caret positions in UTF-16 text, and how often a
// window looks at its events while a job runs.

#include <chrono>
#include <string_view>

namespace vantrel::ui {

// The range a progress bar control shows; the engine's own minimum, maximum
// and value (single precision, any range) are kept apart.
inline constexpr int kBarSteps = 10000;

// The bar's position, 0 to kBarSteps, for the engine's `value` between `min` and `max`.
int barSteps(float min, float max, float value);

// The engine's positions and lengths count characters, a text control's count
// UTF-16 units: two for a character beyond the Basic Multilingual Plane.
// The position `characters` characters after `from`, in units, at most the end.
int unitsAfter(std::u16string_view text, int from, int characters);

// A window's real pumps come at most every engine::kRealPumpInterval (see
// there why). The bars are brought up to date ten times a second, at a real
// pump: a progress bar repaints at once when it changes, which costs about a
// millisecond, as much as 10% of a fast scan if it were done at every one.
inline constexpr std::chrono::milliseconds kBarRepaintInterval{100};

}  // namespace vantrel::ui
