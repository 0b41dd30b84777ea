// cmdDir_Click: a browse button opens the folder chooser at its box's folder.

#include "engine/frmMain.h"
#include "platform/dir_listing.h"
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
    const std::string fallback = Index == 0 ? m_services.programFolder : platform::systemRoot();
    std::string start = text(box);
    if (!passesFolderTest(start)) start = fallback;
    const std::string chosen = m_services.folderDialog->PickFolder(start, kBrowseFlags);
    platform::DirListing listing(m_services.files);
    if (!chosen.empty() && !listing.first(chosen, platform::ListWhat::FilesAndFolders).empty())
        m_window.setText(box, chosen);
}

}  // namespace vantrel::engine
