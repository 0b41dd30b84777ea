#include "engine/window_controls.h"

#include "platform/failure.h"

namespace vantrel::engine {

int WindowControls::checkedAlertValue(int value) {
    if (value < kUnchecked || value > kGrayed) throw platform::Failure("Invalid property value");
    return value;
}

std::size_t WindowControls::panelIndex(int panel) {
    if (panel < 1 || panel > 3) throw platform::Failure("Index out of bounds");
    return std::size_t(panel - 1);
}

}  // namespace vantrel::engine
