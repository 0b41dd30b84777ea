#pragma once

#include <string>

#include "engine/resolved_source.h"
#include "platform/file_system.h"

namespace vantrel::cli {

// SOURCE as a job reads it, resolved as the window resolves its source box
// (engine::ResolvedSource): a DVD folder as given; the VIDEO_TS folder of a
// disc's root folder; on Linux the VIDEO_TS folder of a disc image or a
// drive, read through the system's file system, which reads them.
class JobSource {
  public:
    // Throws Failure when SOURCE cannot be a job's source: its what() is the
    // line to show ("vantrel-cli: ..."), its reason() the reason alone.
    JobSource(platform::FileSystem& system, const std::string& operand);

    // The file system the job works through.
    platform::FileSystem& files() { return m_system; }
    // The folder text the job reads.
    const std::string& folder() const { return m_source.folder(); }
    // What SOURCE was taken for, when it is not the folder given; empty otherwise.
    const std::string& note() const { return m_note; }
    // The disc's root folder SOURCE named, when the job reads its VIDEO_TS
    // folder; empty otherwise.
    const std::string& discRoot() const { return m_source.discRoot(); }

  private:
    platform::FileSystem& m_system;
    engine::ResolvedSource m_source;  // holds an image open while the job reads it
    std::string m_note;
};

}  // namespace vantrel::cli
