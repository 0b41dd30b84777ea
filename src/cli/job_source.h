#pragma once

#include <memory>
#include <string>

#include "cli/disc_image_source.h"
#include "platform/file_system.h"

namespace vantrel::cli {

// SOURCE as a job reads it: a DVD folder as given; the VIDEO_TS folder of a
// disc's root folder (one that holds no DVD file but that folder, in any
// letter case); on Linux the VIDEO_TS folder of a disc image or a drive, read
// through the image's file system.
class JobSource {
  public:
    // Throws Failure when SOURCE cannot be a job's source: its what() is the
    // line to show ("vantrel-cli: ..."), its reason() the reason alone.
    JobSource(platform::FileSystem& system, const std::string& operand);

    // The file system the job works through.
    platform::FileSystem& files() { return m_image ? m_image->files() : m_system; }
    // The folder text the job reads.
    const std::string& folder() const { return m_folder; }
    // What SOURCE was taken for, when it is not the folder given; empty otherwise.
    const std::string& note() const { return m_note; }
    // The disc's root folder SOURCE named, when the job reads its VIDEO_TS
    // folder; empty otherwise.
    const std::string& discRoot() const { return m_discRoot; }

  private:
    platform::FileSystem& m_system;
    std::unique_ptr<DiscImageSource> m_image;
    std::string m_folder;
    std::string m_note;
    std::string m_discRoot;
};

}  // namespace vantrel::cli
