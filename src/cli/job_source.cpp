#include "cli/job_source.h"

#include <algorithm>

#include "cli/disc_image_source.h"
#include "cli/job_report.h"
#include "cli/options.h"
#include "engine/frmMain.h"
#include "platform/failure.h"
#include "platform/paths.h"

namespace vantrel::cli {
namespace {

// SOURCE resolved, once it passes as a folder or may be a disc image; the
// line of a refusal as vantrel-cli gives it.
engine::ResolvedSource resolved(platform::FileSystem& system, const std::string& operand) {
    if (!mayBeDiscImage(system, operand)) {
        if (const std::string problem = engine::folderProblem(system, operand); !problem.empty())
            throw platform::Failure(
                invalidFolderMessage(engine::TextBox::txtVobDir, operand, problem), problem);
    }
    engine::ResolvedSource source(system, operand);
    if (const auto& unreadable = source.unreadable())
        throw platform::Failure(std::string(kProgramName) + ": " + unreadable->what(),
                                unreadable->reason());
    return source;
}

}  // namespace

JobSource::JobSource(platform::FileSystem& system, const std::string& operand)
    : m_system(system), m_source(resolved(system, operand)) {
    if (discRoot().empty()) return;
    std::string videoTs = folder();
    videoTs.pop_back();  // its separator
    const std::string name(
        std::find_if(videoTs.rbegin(), videoTs.rend(), platform::isPathSeparator).base(),
        videoTs.end());
    m_note =
        "'" + operand + "' holds no DVD file: reading its " + name + " folder '" + videoTs + "'";
}

}  // namespace vantrel::cli
