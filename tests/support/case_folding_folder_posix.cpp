#include "support/case_folding_folder.h"

#include <unistd.h>

#include <filesystem>

#include "support/process_runner.h"
#include "support/temp_folder.h"

namespace vantrel::testing {

CaseFoldingFolder::CaseFoldingFolder(const std::string& scratch)
    : m_mountPoint(scratch + "/case-folding") {
    if (::geteuid() != 0) {
        m_whyNot = "mounting a file system image needs root";
        return;
    }
    if (!exists("/sys/fs/ext4/features/casefold")) {
        m_whyNot = "this kernel's ext4 cannot fold letter case (built without CONFIG_UNICODE)";
        return;
    }
    const std::string image = scratch + "/case-folding.img";
    makeFolder(m_mountPoint);
    writeFile(image, "");
    std::filesystem::resize_file(image, 16 << 20);
    if (!run("/sbin/mkfs.ext4", {"-q", "-O", "casefold", "-E", "encoding=utf8", image}) ||
        !run("/bin/mount", {"-o", "loop", image, m_mountPoint}))
        return;
    m_mounted = true;
    const std::string folder = m_mountPoint + "/folded";
    makeFolder(folder);
    if (!run("/usr/bin/chattr", {"+F", folder})) return;
    // Folding, as the file system says it is?
    writeFile(folder + "/Probe", "");
    if (!exists(folder + "/pROBE")) {
        m_whyNot = "a folder marked +F still tells letter case apart";
        return;
    }
    ::unlink((folder + "/Probe").c_str());
    m_path = folder;
}

CaseFoldingFolder::~CaseFoldingFolder() {
    if (m_mounted) run("/bin/umount", {m_mountPoint});
}

bool CaseFoldingFolder::run(const std::string& program, const std::vector<std::string>& arguments) {
    const ProcessResult result = runProgram(program, arguments);
    if (result.exitStatus == 0) return true;
    m_whyNot = program + " failed: " + result.err;
    return false;
}

}  // namespace vantrel::testing
