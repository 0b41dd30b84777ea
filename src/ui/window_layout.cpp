#include "ui/window_layout.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace vantrel::ui {
namespace {

constexpr double kTwipsPerInch = 1440.0;

}  // namespace

ControlAnnouncement announcementOf(ControlId id) {
    for (const ControlAnnouncement& announcement : kAnnouncements)
        if (announcement.control == id) return announcement;
    return {id, {}, {}};
}

std::string_view toolTip(const ControlAnnouncement& announcement) {
    if (layoutOf(announcement.control).kind == ControlKind::StatusBar) return {};
    return announcement.description.empty() ? announcement.name : announcement.description;
}

std::string panelAccessibleName(int panel, std::string_view text) {
    std::string name(kPanelNames.at(std::size_t(panel - 1)));
    if (!text.empty()) name.append(": ").append(text);
    return name;
}

bool takesFocus(ControlKind kind) {
    switch (kind) {
        case ControlKind::TextBox:
        case ControlKind::CommandButton:
        case ControlKind::CheckBox:
        case ControlKind::FileList:
            return true;
        default:
            return false;
    }
}

int twipsToPixels(double twips, int dpi) {
    return static_cast<int>(std::lround(twips * dpi / kTwipsPerInch));
}

float pixelsToTwips(int pixels, int dpi) {
    return static_cast<float>(pixels * kTwipsPerInch / dpi);
}

PixelRect toPixels(const TwipsRect& place, int dpi) {
    const int left = twipsToPixels(place.left, dpi);
    const int top = twipsToPixels(place.top, dpi);
    return {left, top, twipsToPixels(place.right(), dpi) - left,
            twipsToPixels(place.bottom(), dpi) - top};
}

std::array<int, 3> panelWidths(int barWidth, int dpi) {
    const int fixed = twipsToPixels(kFixedPanelTwips, dpi);
    return {fixed, fixed,
            std::max(barWidth - 2 * fixed, twipsToPixels(kLastPanelMinimumTwips, dpi))};
}

}  // namespace vantrel::ui
