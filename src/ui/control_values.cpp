#include "ui/control_values.h"

#include <algorithm>
#include <cmath>

namespace vantrel::ui {
namespace {

bool isHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }

}  // namespace

int barSteps(float min, float max, float value) {
    const double span = double(max) - double(min);
    const double share = span > 0 ? (double(value) - double(min)) / span : 0;
    return static_cast<int>(std::lround(std::clamp(share, 0.0, 1.0) * kBarSteps));
}

int unitsAfter(std::u16string_view text, int from, int characters) {
    const int size = int(text.size());
    int at = from;
    for (int i = 0; i < characters && at < size; ++i)
        at += isHighSurrogate(text[std::size_t(at)]) && at + 1 < size ? 2 : 1;
    return at;
}

}  // namespace vantrel::ui
