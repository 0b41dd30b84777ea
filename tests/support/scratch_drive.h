#pragma once

#include <optional>
#include <string>

namespace vantrel::testing {

// A drive whose root a test may fill and empty: "T:\" when the drive holds the
// marker ".vantrel-scratch-drive" (scripts/wine-run.sh makes one in its Wine
// prefix). Emptied, the marker hidden, when the object is made and when it goes.
// One object at a time has the drive, in all the test programs running: the
// marker is held open without sharing.
class ScratchDrive {
  public:
    ScratchDrive();
    ~ScratchDrive();
    ScratchDrive(const ScratchDrive&) = delete;
    ScratchDrive& operator=(const ScratchDrive&) = delete;

    // "T:\", or nothing when there is no scratch drive.
    const std::optional<std::string>& root() const { return m_root; }

  private:
    void empty() const;

    std::optional<std::string> m_root;
    void* m_marker = nullptr;  // the marker's handle, held while the drive is ours
};

inline constexpr const char* kNoScratchDrive =
    "no scratch drive T: (scripts/wine-run.sh makes one in its Wine prefix)";

}  // namespace vantrel::testing
