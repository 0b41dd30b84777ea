#include "ui/window_rules.h"

namespace vantrel::ui {

ControlId WindowRules::defaultButton(std::optional<ControlId> focus) {
    if (focus && layoutOf(*focus).kind == ControlKind::CommandButton) return *focus;
    return kDefaultButton;
}

std::optional<ControlId> WindowRules::enterPresses(std::optional<ControlId> focus,
                                                   bool repeat) const {
    if (repeat) return std::nullopt;
    if (m_jobRunning()) {
        if (focus == kCancelButton) return kCancelButton;
        return std::nullopt;
    }
    return defaultButton(focus);
}

bool WindowRules::focusGoesToWindow(ControlId control, bool hadFocus) {
    if (hadFocus) m_focusGivenUp = control;
    return hadFocus;
}

bool WindowRules::focusComesBack(ControlId control, bool windowHasFocus) {
    if (m_focusGivenUp != control) return false;
    m_focusGivenUp.reset();
    return windowHasFocus;
}

}  // namespace vantrel::ui
