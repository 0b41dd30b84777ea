// ValDir and CountFiles: the two folders checked, the DVD files counted.

#include "engine/frmMain.h"
#include "platform/dir_listing.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace vantrel::engine {
namespace {

// A DVD file is known by the last three letters of its name, whatever precedes them.
bool hasDvdEnding(const std::string& name) {
    return platform::matchesWildcard(name, "*ifo") || platform::matchesWildcard(name, "*vob") ||
           platform::matchesWildcard(name, "*bup");
}

}  // namespace

// A folder text is usable when it is not blank and names something the listing
// finds: an existing folder (which lists at least its "." entry) or file.
bool frmMain::passesFolderTest(const std::string& folder) {
    const bool blank = platform::isBlank(folder);
    platform::DirListing listing(m_services.files);
    const bool found = !listing.first(folder, platform::ListWhat::FilesAndFolders).empty();
    return !blank && found;
}

void frmMain::refuseFolder(TextBox box, const std::string& message) {
    m_window.messageBox(message, MessageIcon::Critical, "Error");
    m_window.setSelStart(box, 0);
    m_window.setSelLength(box, platform::characterCount(text(box)));
    m_window.setFocus(box);
}

void frmMain::appendSeparatorIfMissing(TextBox box) {
    const std::string folder = text(box);
    if (folder.empty() || folder.back() != platform::kPathSeparator)
        m_window.setText(box, text(box) + platform::kPathSeparator);
}

VbBool frmMain::ValDir() {
    if (!passesFolderTest(text(TextBox::txtVobDir))) {
        refuseFolder(TextBox::txtVobDir, "Invalid Vob Dir!");
        return kFalse;
    }
    appendSeparatorIfMissing(TextBox::txtVobDir);
    // The destination's DVD files are deleted before anything is copied, so it
    // must never be the source itself.
    if (!passesFolderTest(text(TextBox::txtDest)) ||
        m_services.files.isSameEntry(text(TextBox::txtVobDir), text(TextBox::txtDest))) {
        refuseFolder(TextBox::txtDest, "Invalid Destination Dir!");
        return kFalse;
    }
    appendSeparatorIfMissing(TextBox::txtDest);
    return kTrue;
}

std::int32_t frmMain::CountFiles() {
    std::int32_t count = 0;
    platform::DirListing listing(m_services.files);
    for (std::string name = listing.first(text(TextBox::txtVobDir), platform::ListWhat::PlainFiles);
         !name.empty(); name = listing.next()) {
        if (hasDvdEnding(name)) ++count;
    }
    return count;
}

}  // namespace vantrel::engine
