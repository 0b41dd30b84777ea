#pragma once

#include <string>

#include "engine/frmMain.h"
#include "platform/clock.h"
#include "support/faulty_file_system.h"
#include "support/headless_window.h"
#include "support/recording_observer.h"
#include "support/temp_folder.h"

namespace vantrel::testing {

// Always 7 December 2026, 09:05:03.
class FixedClock final : public platform::Clock {
  public:
    platform::LocalTime now() const override { return {2026, 12, 7, 9, 5, 3}; }
    const platform::DateTimeSeparators& separators() const override { return separators_; }
    platform::DateTimeSeparators separators_;
};

inline constexpr const char* kFixedTimestamp = "07/12/2026 09:05:03";

// A window object on the headless window, with its own temporary folder that
// serves as program folder (so the log lands there) and holds "src" and "dst".
struct TestBed {
    TempFolder temp;
    FaultyFileSystem files;
    FixedClock clock;
    engine::Services services{files, clock, temp.path()};
    HeadlessWindow window{files};
    engine::frmMain form{window, services};
    RecordingObserver events;  // what the window object's jobs told

    std::string source() const { return temp / "src"; }
    std::string destination() const { return temp / "dst"; }
    std::string logPath() const { return temp / "Vantrel.log"; }
    std::string logText() const { return exists(logPath()) ? readText(logPath()) : ""; }

    TestBed() {
        form.setObserver(&events);
        makeFolder(source());
        makeFolder(destination());
    }
    // The folder texts as a validated job leaves them: ending in the separator.
    void useFolders() {
        window.texts[engine::TextBox::txtVobDir] = source() + kSep;
        window.texts[engine::TextBox::txtDest] = destination() + kSep;
    }
};

}  // namespace vantrel::testing
