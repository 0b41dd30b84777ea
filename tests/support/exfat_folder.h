#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vantrel::testing {

// POSIX: an empty folder on exFAT, a file system that gives holes the space
// of data, as FAT does: an image file under `scratch` made by mkfs.exfat and
// mounted through a loop device by the FUSE driver (exfat-fuse), which needs
// no kernel module, until the object goes. It needs root, /dev/fuse and those
// tools; without them there is none, and `whyNot` says why.
class ExfatFolder {
  public:
    explicit ExfatFolder(const std::string& scratch);
    ~ExfatFolder();
    ExfatFolder(const ExfatFolder&) = delete;
    ExfatFolder& operator=(const ExfatFolder&) = delete;

    const std::optional<std::string>& path() const { return m_path; }
    const std::string& whyNot() const { return m_whyNot; }

  private:
    // Runs a command; its output, or nothing (with `m_whyNot` set) when it fails.
    std::optional<std::string> run(const std::string& program,
                                   const std::vector<std::string>& arguments);

    std::string m_mountPoint;
    std::string m_loopDevice;
    bool m_mounted = false;
    std::optional<std::string> m_path;
    std::string m_whyNot;
};

}  // namespace vantrel::testing
