// cmdDir_Click: a browse button opens the folder chooser at its box's folder;
// and what is dropped on a folder box.

#include <exception>

#include "engine/frmMain.h"
#include "platform/failure.h"
#include "platform/paths.h"

namespace vantrel::engine {
namespace {

// What the window asks of the chooser: file-system folders only, no network
// folders below the domain, the newer dialog that can make a folder.
constexpr std::uint32_t kBrowseFlags =
    platform::BIF_RETURNONLYFSDIRS | platform::BIF_DONTGOBELOWDOMAIN | platform::BIF_NEWDIALOGSTYLE;

}  // namespace

void frmMain::cmdDir_Click(std::int16_t Index) {
    if (m_services.folderDialog == nullptr) throw platform::Failure("no folder chooser");
    const TextBox box = Index == 0 ? TextBox::txtVobDir : TextBox::txtDest;
    const std::string fallback = Index == 0
                                     ? platform::defaultSourceFolder(m_services.programFolder)
                                     : platform::defaultDestinationFolder(m_services.programFolder);
    // A folder that cannot even be tested (one the user may not enter, a name
    // too long for the system) is no better than one that fails the test: the
    // chooser still opens, at the fallback.
    const auto usable = [this](const std::string& folder) {
        try {
            return passesFolderTest(folder);
        } catch (const std::exception&) {
            return false;
        }
    };
    std::string start = text(box);
    if (!usable(start)) start = fallback;
    const std::string chosen = m_services.folderDialog->PickFolder(start, kBrowseFlags);
    if (!chosen.empty() && usable(chosen)) m_window.setText(box, chosen);
}

void frmMain::folderDropped(TextBox box, const std::string& path) { m_window.setText(box, path); }

}  // namespace vantrel::engine
