#include "cli/job_source.h"

#include <optional>

#include "cli/job_report.h"
#include "cli/options.h"
#include "engine/frmMain.h"
#include "engine/job_files.h"
#include "platform/dir_listing.h"
#include "platform/failure.h"
#include "platform/paths.h"

namespace vantrel::cli {
namespace {

// The name of the VIDEO_TS folder in `folder`, in any letter case; the one
// spelt in capitals when there are several.
std::optional<std::string> videoTsFolderIn(platform::FileSystem& files, const std::string& folder) {
    std::optional<std::string> found;
    for (const platform::FolderEntry& entry :
         files.readFolder(folder).value_or(std::vector<platform::FolderEntry>{})) {
        if (entry.kind != platform::EntryKind::Folder || entry.hidden ||
            !platform::matchesWildcard(entry.name, "VIDEO_TS"))
            continue;
        if (!found || entry.name == "VIDEO_TS") found = entry.name;
    }
    return found;
}

}  // namespace

JobSource::JobSource(platform::FileSystem& system, const std::string& operand)
    : m_system(system), m_folder(operand) {
    if (mayBeDiscImage(system, operand)) {
        try {
            m_image = openDiscImage(system, operand);
        } catch (const platform::Failure& failure) {
            throw platform::Failure(std::string(kProgramName) + ": " + failure.what(),
                                    failure.reason());
        }
        m_folder = m_image->videoTsFolder();
        return;
    }
    if (const std::string problem = engine::folderProblem(system, operand); !problem.empty())
        throw platform::Failure(invalidFolderMessage(engine::TextBox::txtVobDir, operand, problem),
                                problem);
    if (engine::countDvdFiles(system, operand) > 0) return;
    if (const auto videoTs = videoTsFolderIn(system, operand)) {
        m_folder = platform::joinPath(operand, *videoTs);
        m_discRoot = operand;
        m_note = "'" + operand + "' holds no DVD file: reading its " + *videoTs + " folder '" +
                 m_folder + "'";
    }
}

}  // namespace vantrel::cli
