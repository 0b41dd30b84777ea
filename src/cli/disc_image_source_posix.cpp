#include <sys/stat.h>

#include "cli/disc_image_source.h"
#include "platform/disc_image_file_system.h"

namespace vantrel::cli {
namespace {

class PosixDiscImageSource final : public DiscImageSource {
  public:
    PosixDiscImageSource(platform::FileSystem& system, const std::string& path)
        : m_image(path), m_files(system, m_image) {}
    platform::FileSystem& files() override { return m_files; }
    std::string videoTsFolder() const override { return m_files.videoTsFolder(); }

  private:
    platform::DiscImage m_image;
    platform::DiscImageFileSystem m_files;
};

}  // namespace

// Anything else that is no folder (a pipe, a terminal) could block a read.
bool mayBeDiscImage(platform::FileSystem&, const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && (S_ISREG(info.st_mode) || S_ISBLK(info.st_mode));
}

std::unique_ptr<DiscImageSource> openDiscImage(platform::FileSystem& system,
                                               const std::string& path) {
    return std::make_unique<PosixDiscImageSource>(system, path);
}

}  // namespace vantrel::cli
