// ValDir and CountFiles: the two folders checked, the DVD files counted.

#include "engine/frmMain.h"
#include "engine/job_files.h"
#include "platform/dir_listing.h"
#include "platform/failure.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace vantrel::engine {

std::string folderProblem(platform::FileSystem& files, const std::string& folder) {
    if (platform::isBlank(folder)) return "the name is blank";
    const int error = files.folderError(folder);
    return error == 0 ? std::string() : platform::systemErrorText(error);
}

// A folder text is usable when it is not blank and names something the listing
// finds: an existing folder (which lists at least its "." entry) or file.
bool frmMain::passesFolderTest(const std::string& folder) {
    const bool blank = platform::isBlank(folder);
    platform::DirListing listing(m_services.files);
    const bool found = !listing.first(folder, platform::ListWhat::FilesAndFolders).empty();
    return !blank && found;
}

// Why a folder text failed the folder test. The test lets plain files pass, so
// the reason is looked for only once it has failed.
std::string frmMain::refusalReason(const std::string& folder) {
    const std::string problem = folderProblem(m_services.files, folder);
    return problem.empty() ? "nothing in it can be listed" : problem;
}

void frmMain::refuseFolder(TextBox box, const std::string& message, const FolderProblem& problem) {
    m_refusal = FolderRefusal{box, text(box), problem.reason};
    m_window.messageBox(
        problem.explanation.empty() ? message : message + "\n" + problem.explanation,
        MessageIcon::Critical, "Error");
    m_window.setSelStart(box, 0);
    m_window.setSelLength(box, platform::characterCount(text(box)));
    m_window.setFocus(box);
}

void frmMain::appendSeparatorIfMissing(TextBox box) {
    const std::string folder = text(box);
    if (folder.empty() || folder.back() != platform::kPathSeparator)
        m_window.setText(box, text(box) + platform::kPathSeparator);
}

// The clearing step deletes the destination's DVD files, so it must never be
// the source itself or the folder read for it (a disc root's VIDEO_TS), hold
// what the job reads (a disc image named like a DVD file), nor hold a disc's
// own video, nor be a folder another job is working in. The lock taken here
// is held until the job's wind-down.
std::optional<frmMain::FolderProblem> frmMain::destinationProblem() {
    const std::string folder = text(TextBox::txtDest);
    const std::string source = text(TextBox::txtVobDir);
    if (!passesFolderTest(folder)) return FolderProblem{refusalReason(folder)};
    if (m_source->isSourceFolder(folder)) return FolderProblem{"it is the source folder"};
    if (m_services.files.kindOf(folder) != platform::EntryKind::Folder) return std::nullopt;
    const std::string sourceFile = m_services.files.backingFile(source);
    for (const StaleFile& stale : staleFiles(m_services.files, folder)) {
        if (m_services.files.isSameEntry(platform::joinPath(folder, stale.name), sourceFile))
            return FolderProblem{"it holds the source " + stale.name + ", which would be deleted"};
    }
    try {
        if (!m_destinationLock.acquire(folder))
            return FolderProblem{"in use by another extraction"};
    } catch (const platform::Failure& failure) {
        // The lock is the job's own: a folder it cannot open is not one to work in.
        return FolderProblem{failure.reason()};
    }
    if (const auto foreign = foreignVob(m_services.files, folder)) {
        const std::string holds = " holds a disc's video, not a copy's NV_PCK sectors";
        return FolderProblem{
            foreign->name + " (" + std::to_string(foreign->size) + " bytes)" + holds,
            foreign->name + " in it" + holds + "; nothing was deleted."};
    }
    if (m_copyKind == CopyKind::Sparse) {
        if (auto reason = sparseCopyRefusal(m_services.files, folder, source))
            return FolderProblem{*reason,
                                 "No sparse copy there: " + *reason + "; nothing was written."};
    }
    return std::nullopt;
}

VbBool frmMain::ValDir() {
    m_refusal.reset();
    m_source.reset();
    if (!passesFolderTest(text(TextBox::txtVobDir))) {
        refuseFolder(TextBox::txtVobDir, "Invalid Vob Dir!",
                     FolderProblem{refusalReason(text(TextBox::txtVobDir))});
        return kFalse;
    }
    // A file's name (a disc image's) keeps its text: with a separator it would name nothing.
    if (m_services.files.kindOf(text(TextBox::txtVobDir)) != platform::EntryKind::PlainFile)
        appendSeparatorIfMissing(TextBox::txtVobDir);
    m_source.emplace(m_services.files, text(TextBox::txtVobDir));
    if (const auto problem = destinationProblem()) {
        refuseFolder(TextBox::txtDest, "Invalid Destination Dir!", *problem);
        return kFalse;
    }
    appendSeparatorIfMissing(TextBox::txtDest);
    return kTrue;
}

std::int32_t frmMain::CountFiles() {
    return countDvdFiles(m_services.files, folder(TextBox::txtVobDir));
}

}  // namespace vantrel::engine
