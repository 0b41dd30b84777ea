#include "engine/control_state.h"

#include "platform/failure.h"

namespace vantrel::engine {

int ControlState::checkedAlertValue(int value) {
    if (value < kUnchecked || value > kGrayed) throw platform::Failure("Invalid property value");
    return value;
}

std::size_t ControlState::panelIndex(int panel) {
    if (panel < 1 || panel > 3) throw platform::Failure("Index out of bounds");
    return std::size_t(panel - 1);
}

}  // namespace vantrel::engine
