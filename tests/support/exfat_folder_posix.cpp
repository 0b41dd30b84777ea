#include "support/exfat_folder.h"

#include <unistd.h>

#include <filesystem>

#include "support/process_runner.h"
#include "support/temp_folder.h"

namespace vantrel::testing {

ExfatFolder::ExfatFolder(const std::string& scratch) : m_mountPoint(scratch + "/exfat") {
    if (::geteuid() != 0) {
        m_whyNot = "mounting a file system image needs root";
        return;
    }
    for (const char* needed : {"/dev/fuse", "/sbin/mkfs.exfat", "/sbin/mount.exfat-fuse"}) {
        if (!exists(needed)) {
            m_whyNot = std::string(needed) + " is missing (exfatprogs, exfat-fuse)";
            return;
        }
    }
    const std::string image = scratch + "/exfat.img";
    makeFolder(m_mountPoint);
    writeFile(image, "");
    std::filesystem::resize_file(image, 32 << 20);
    if (!run("/sbin/mkfs.exfat", {image})) return;
    const auto device = run("/sbin/losetup", {"--find", "--show", image});
    if (!device) return;
    m_loopDevice = device->substr(0, device->find('\n'));
    if (!run("/sbin/mount.exfat-fuse", {m_loopDevice, m_mountPoint})) return;
    m_mounted = true;
    m_path = m_mountPoint + "/folder";
    makeFolder(*m_path);
}

ExfatFolder::~ExfatFolder() {
    if (m_mounted) run("/bin/umount", {m_mountPoint});
    if (!m_loopDevice.empty()) run("/sbin/losetup", {"--detach", m_loopDevice});
}

std::optional<std::string> ExfatFolder::run(const std::string& program,
                                            const std::vector<std::string>& arguments) {
    const ProcessResult result = runProgram(program, arguments);
    if (result.exitStatus == 0) return result.out;
    m_whyNot = program + " failed: " + result.err;
    return std::nullopt;
}

}  // namespace vantrel::testing
