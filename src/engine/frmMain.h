#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "engine/controls.h"
#include "platform/binary_file.h"
#include "platform/services.h"

namespace vantrel::engine {

// Booleans as the window object keeps them: 16-bit, True is -1.
using VbBool = std::int16_t;
inline constexpr VbBool kTrue = -1;
inline constexpr VbBool kFalse = 0;

// What a job has done so far, for the terminal front end's progress and summary.
struct JobTally {
    std::string currentFile;  // the side file or VOB being worked on
    int sideFilesCopied = 0;
    int vobsScanned = 0;
    std::int64_t navPacksWritten = 0;
    std::int64_t bytesRead = 0;
    std::int64_t bytesWritten = 0;
};

// The main window object: the job's state, every job procedure and every
// event handler. It reaches the window only through Controls.
class frmMain {
  public:
    frmMain(Controls& window, platform::Services& services);

    // Fields, shared between a running job and the handlers run by its pumps.
    VbBool bBusy = kFalse;         // an extraction job is running
    VbBool bCancel = kFalse;       // a cancel request is pending
    std::int32_t savedWidth = 0;   // outer width at load, twips
    std::int32_t savedHeight = 0;  // outer height at load, twips

    // Appends Msg to the log file File (empty: the default log, and File is set
    // to its path). Never fails.
    void WriteLog(const std::string& Msg, std::string& File) noexcept;
    VbBool ValDir();
    std::int32_t CountFiles();
    void CopyFile(const std::string& Fil);
    void CopyFiles();
    VbBool CopySector(platform::BinaryFile& fp, std::int64_t pos, platform::BinaryFile& out);
    void Process(const std::string& Fil);

    void cmdDir_Click(std::int16_t Index);
    void cmdExit_Click();
    void cmdGo_Click();
    void Form_Load();
    void Form_Resize();
    void Form_Unload();

    // What the last job did.
    const JobTally& tally() const { return m_tally; }
    // Called with every text appended to the log, after it is written.
    void setLogListener(std::function<void(const std::string&)> listener);

  private:
    std::string timestamp() const;
    void log(const std::string& entry) noexcept;
    std::string text(TextBox box) { return m_window.text(box); }
    // `name` in the folder of `box`, read now. The folder texts end in the
    // separator once validated, but a folder chosen during a job may not.
    std::string pathIn(TextBox box, const std::string& name);
    void advance(Bar bar, float step) { m_window.setValue(bar, m_window.value(bar) + step); }

    bool passesFolderTest(const std::string& folder);
    void refuseFolder(TextBox box, const std::string& message);
    void appendSeparatorIfMissing(TextBox box);
    void clearDestination();
    void copySideFiles(const char* pattern, std::string& lastListedName);
    void loadSettings(std::string& settingName);
    void saveSettings();
    std::uint16_t readWord(platform::BinaryFile& file, std::int64_t position);
    void startJob(std::int32_t fileTotal);
    void scanVobs();
    void windDown();
    void returnToIdle() noexcept;

    Controls& m_window;
    platform::Services& m_services;
    JobTally m_tally;
    bool m_closeWhenJobEnds = false;
    std::function<void(const std::string&)> m_logListener;
};

// A bar's value as the status bar shows it ("5", not "5.0").
std::string barValueText(float value);

}  // namespace vantrel::engine
