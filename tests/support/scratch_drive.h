#pragma once

#include <optional>
#include <string>

namespace vantrel::testing {

// A drive whose root a test may fill and empty: "T:\" when the drive holds the
// marker ".vantrel-scratch-drive" (scripts/wine-run.sh makes one in its Wine
// prefix). Emptied, the marker hidden, when the object is made and when it goes.
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
};

inline constexpr const char* kNoScratchDrive =
    "no scratch drive T: (scripts/wine-run.sh makes one in its Wine prefix)";

}  // namespace vantrel::testing
