#include "cli/verify_run.h"

#include <cstdio>
#include <optional>

#include "cli/job_report.h"
#include "cli/json_document.h"
#include "cli/progress_display.h"
#include "cli/verify_report.h"
#include "engine/frmMain.h"
#include "platform/failure.h"
#include "platform/system_file_system.h"
#include "verify/copy_verification.h"

namespace vantrel::cli {

int runVerify(const Options& options) {
    platform::SystemFileSystem files;
    ProgressDisplay display(stderr, displayMode(options.quiet));
    const std::string& folder = options.destination;
    std::optional<engine::FolderRefusal> refusal;
    std::optional<verify::CopyCheck> check;
    try {
        if (const std::string problem = engine::folderProblem(files, folder); !problem.empty())
            throw platform::Failure(problem);
        check = verify::verifyCopy(files, folder);
    } catch (const platform::Failure& failure) {
        refusal = engine::FolderRefusal{engine::TextBox::txtDest, folder, failure.reason()};
        display.message(invalidFolderMessage(engine::TextBox::txtDest, folder, failure.reason()));
    }
    const int status = refusal ? kRefused : check->passed() ? kDone : kFilesFailed;
    if (options.json) {
        std::fputs(verifyDocument(folder, check ? &*check : nullptr, refusal, status).c_str(),
                   stdout);
    } else if (check) {
        showCheck(*check, folder, options.quiet, display);
    }
    return status;
}

}  // namespace vantrel::cli
