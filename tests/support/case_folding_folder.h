#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vantrel::testing {

// POSIX: an empty folder that ignores letter case, as any folder on vfat,
// exFAT or NTFS does: a casefolded folder (chattr +F) on an ext4 file system
// made in an image file under `scratch` and mounted through a loop device,
// until the object goes. It needs root and an ext4 that folds case (a kernel
// built with CONFIG_UNICODE); without them there is none, and `whyNot` says why.
class CaseFoldingFolder {
  public:
    explicit CaseFoldingFolder(const std::string& scratch);
    ~CaseFoldingFolder();
    CaseFoldingFolder(const CaseFoldingFolder&) = delete;
    CaseFoldingFolder& operator=(const CaseFoldingFolder&) = delete;

    const std::optional<std::string>& path() const { return m_path; }
    const std::string& whyNot() const { return m_whyNot; }

  private:
    // Runs a command; false, with `m_whyNot` set, when it fails.
    bool run(const std::string& program, const std::vector<std::string>& arguments);

    std::string m_mountPoint;
    bool m_mounted = false;
    std::optional<std::string> m_path;
    std::string m_whyNot;
};

}  // namespace vantrel::testing
