#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/failure.h"
#include "platform/file_system.h"

namespace vantrel::engine {

// The folder a job reads for the source a user names, the same for every
// front end:
// - a disc image or a drive, where the file system reads them (Linux): its
//   VIDEO_TS folder, read through the file system while this is kept;
// - a disc's root folder, one that holds no DVD file but a VIDEO_TS folder
//   (in any letter case): that folder;
// - anything else: the source as named, which the job's checks judge.
class ResolvedSource {
  public:
    ResolvedSource(platform::FileSystem& files, const std::string& source);

    // The folder the job reads, ending in the separator unless it is the
    // source as named.
    const std::string& folder() const { return m_folder; }
    // The disc's root folder named, when folder() is its VIDEO_TS folder;
    // empty otherwise.
    const std::string& discRoot() const { return m_discRoot; }
    bool isDiscImage() const { return m_image != nullptr; }
    // Why the source, a file or a drive, cannot be read as a DVD-Video disc
    // (on Windows, with how to mount an image); nothing when it can, or when
    // it is none.
    const std::optional<platform::Failure>& unreadable() const { return m_unreadable; }

    // True when `destination` is the source as named or the folder read for
    // it: the clearing step would delete what the job reads, or the copy
    // would land beside a disc root's VIDEO_TS folder, and the disc root
    // would read the copy from then on.
    bool isSourceFolder(const std::string& destination) const;

  private:
    platform::FileSystem* m_files;
    std::string m_named;
    std::string m_folder;
    std::string m_discRoot;
    std::shared_ptr<const platform::OpenedDiscImage> m_image;  // read while held
    std::optional<platform::Failure> m_unreadable;
};

}  // namespace vantrel::engine
