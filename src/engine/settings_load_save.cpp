// The three settings the window keeps between runs: the two folders and the
// alert choice, read into the controls at load and written back at unload.

#include "engine/frmMain.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "registry/registry_constants.h"
#include "settings/Registry.h"

namespace vantrel::engine {
namespace {

constexpr registry::HKEY kSettingsRoot = registry::HKEY_LOCAL_MACHINE;
constexpr const char* kSettingsKey = "SOFTWARE\\TORVELLANCE\\Vantrel";

}  // namespace

// `settingName` is set before each step, so that a failure names the setting.
void frmMain::loadSettings(std::string& settingName) {
    if (m_services.registry == nullptr) return;
    registry::RegistryApi& registry = *m_services.registry;
    const registry::RegistryBatch oneReading(registry);
    const auto loadFolder = [&](const char* name, TextBox box, const std::string& fallback) {
        settingName = name;
        m_window.setText(
            box, settings::ReadRegText(registry, kSettingsRoot, kSettingsKey, name, fallback));
        m_window.setSelStart(box, platform::characterCount(text(box)));  // caret at the end
    };
    loadFolder("VOBPATH", TextBox::txtVobDir,
               platform::defaultSourceFolder(m_services.programFolder));
    loadFolder("DESTPATH", TextBox::txtDest,
               platform::defaultDestinationFolder(m_services.programFolder));
    settingName = "ALERT";
    const auto alert = settings::ReadRegBytes(registry, kSettingsRoot, kSettingsKey, "ALERT",
                                              std::int16_t{kChecked});
    m_window.setAlertValue(alert.at(0));
}

void frmMain::saveSettings() {
    if (m_services.registry == nullptr) return;
    registry::RegistryApi& registry = *m_services.registry;
    const registry::RegistryBatch oneWriting(registry);
    // An empty box keeps the folder stored before.
    for (const auto& [name, box] :
         {std::pair{"VOBPATH", TextBox::txtVobDir}, std::pair{"DESTPATH", TextBox::txtDest}}) {
        const std::string folder = text(box);
        if (!folder.empty())
            settings::WriteRegText(registry, kSettingsRoot, kSettingsKey, name, folder);
    }
    settings::WriteRegBytes(registry, kSettingsRoot, kSettingsKey, "ALERT",
                            {static_cast<std::uint8_t>(m_window.alertValue())});
}

}  // namespace vantrel::engine
