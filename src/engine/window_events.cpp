// Form_Load, Form_Resize and Form_Unload: the window keeps the size it had
// when it loaded, and its settings from one run to the next.

#include <cmath>

#include "engine/frmMain.h"
#include "log/error_entries.h"

namespace vantrel::engine {
namespace {

// Whole twips, halves going to the even neighbour.
std::int32_t wholeTwips(float twips) { return static_cast<std::int32_t>(std::nearbyint(twips)); }

}  // namespace

void frmMain::Form_Load() {
    std::string settingName;  // the step under way, for the error entry
    try {
        savedWidth = wholeTwips(m_window.windowWidth());
        savedHeight = wholeTwips(m_window.windowHeight());
        loadSettings(settingName);
    } catch (const std::exception& failure) {
        log(EntryKind::LoadOrSave, log::formLoadEntry(timestamp(), failure.what(), settingName));
    }
}

void frmMain::Form_Unload() {
    try {
        saveSettings();
    } catch (const std::exception& failure) {
        log(EntryKind::LoadOrSave, log::formUnloadEntry(timestamp(), failure.what()));
    }
}

void frmMain::Form_Resize() {
    if (m_window.windowState() == WindowState::Minimized) return;
    m_window.setWindowWidth(static_cast<float>(savedWidth));
    m_window.setWindowHeight(static_cast<float>(savedHeight));
}

}  // namespace vantrel::engine
