#include "cli/job_destination.h"

#include <filesystem>
#include <system_error>

#include "cli/job_report.h"
#include "cli/utf8_paths.h"
#include "engine/frmMain.h"
#include "platform/failure.h"
#include "platform/text.h"

namespace vantrel::cli {
namespace {

[[noreturn]] void refuse(const std::string& folder, const std::string& reason) {
    throw platform::Failure(invalidFolderMessage(engine::TextBox::txtDest, folder, reason), reason);
}

// The folder `path` names, without the separators that may end it: "out/"
// names the folder "out".
std::filesystem::path folderPath(const std::string& folder) {
    std::filesystem::path path = pathOf(folder);
    while (!path.empty() && !path.has_filename() && path != path.root_path())
        path = path.parent_path();
    return path;
}

// A folder the user may make a folder in.
bool canHoldNewFolder(platform::FileSystem& files, const std::string& folder) {
    return files.kindOf(folder) == platform::EntryKind::Folder && files.isWritable(folder);
}

}  // namespace

// Nothing at all is there, not even a dangling link, up to the folder that exists.
std::vector<std::string> missingFolders(platform::FileSystem& files, const std::string& folder) {
    std::vector<std::string> missing;
    for (std::filesystem::path path = folderPath(folder);
         !path.empty() && path != path.root_path() && !files.lookUp(textOf(path));
         path = path.parent_path())
        missing.insert(missing.begin(), textOf(path));
    return missing;
}

Destination checkDestination(platform::FileSystem& files, const std::string& folder, bool parents) {
    std::string problem = engine::folderProblem(files, folder);
    if (!problem.empty() && !platform::isBlank(folder)) {
        std::vector<std::string> missing;
        std::string above;
        try {
            missing = missingFolders(files, folder);
            if (!missing.empty()) above = textOf(folderPath(missing.front()).parent_path());
            if (!canHoldNewFolder(files, above.empty() ? "." : above)) missing.clear();
        } catch (const platform::Failure&) {
            missing.clear();  // the folder checks say why
        }
        if (missing.size() > 1 && !parents)
            refuse(folder, "the folder '" + missing.front() +
                               "' above it does not exist (--parents makes it)");
        if (!missing.empty()) return Destination::ToBeMade;
    }
    if (problem.empty() && !files.isWritable(folder)) problem = "it cannot be written to";
    if (!problem.empty()) refuse(folder, problem);
    return Destination::Exists;
}

std::string folderAbove(const std::string& folder) {
    const std::filesystem::path above = folderPath(folder).parent_path();
    return above.empty() ? "." : textOf(above);
}

// The folder is made here or not at all: what appeared in its place since
// the check (a folder, a link planted to send the job elsewhere) is refused.
// The folders above it may have been made meanwhile, as `mkdir -p` allows.
void makeDestination(const std::string& folder, bool parents) {
    std::error_code error;
    const std::filesystem::path above = folderPath(folder).parent_path();
    if (parents && !above.empty()) std::filesystem::create_directories(above, error);
    if (!error && !std::filesystem::create_directory(pathOf(folder), error) && !error)
        error = std::make_error_code(std::errc::file_exists);
    if (error) refuse(folder, "it cannot be made: " + error.message());
}

}  // namespace vantrel::cli
