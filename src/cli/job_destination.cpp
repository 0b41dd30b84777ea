#include "cli/job_destination.h"

#include <filesystem>
#include <system_error>

#include "cli/job_report.h"
#include "engine/frmMain.h"
#include "platform/failure.h"
#include "platform/text.h"

namespace vantrel::cli {
namespace {

// UTF-8 both ways, on every system.
std::filesystem::path pathOf(const std::string& text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

std::string textOf(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

[[noreturn]] void refuse(const std::string& folder, const std::string& reason) {
    throw platform::Failure(invalidFolderMessage(engine::TextBox::txtDest, folder, reason), reason);
}

// Nothing at all is there, not even a dangling link, and the folder above is
// one the user may make a folder in.
bool canBeMade(platform::FileSystem& files, const std::string& folder) {
    try {
        if (files.lookUp(folder)) return false;
        const std::string parent = folderAbove(folder);
        return files.kindOf(parent) == platform::EntryKind::Folder && files.isWritable(parent);
    } catch (const platform::Failure&) {
        return false;  // the folder checks say why
    }
}

}  // namespace

std::string folderAbove(const std::string& folder) {
    std::filesystem::path above = pathOf(folder);
    while (!above.empty() && !above.has_filename() && above != above.root_path())
        above = above.parent_path();  // "out/" names the folder "out"
    above = above.parent_path();
    return above.empty() ? "." : textOf(above);
}

Destination checkDestination(platform::FileSystem& files, const std::string& folder) {
    std::string problem = engine::folderProblem(files, folder);
    if (!problem.empty() && !platform::isBlank(folder) && canBeMade(files, folder))
        return Destination::ToBeMade;
    if (problem.empty() && !files.isWritable(folder)) problem = "it cannot be written to";
    if (!problem.empty()) refuse(folder, problem);
    return Destination::Exists;
}

// The folder is made here or not at all: what appeared in its place since
// the check (a folder, a link planted to send the job elsewhere) is refused.
void makeDestination(const std::string& folder) {
    std::error_code error;
    if (!std::filesystem::create_directory(pathOf(folder), error) && !error)
        error = std::make_error_code(std::errc::file_exists);
    if (error) refuse(folder, "it cannot be made: " + error.message());
}

}  // namespace vantrel::cli
