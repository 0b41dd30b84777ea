#pragma once

#include <array>
#include <map>
#include <string>

#include "cli/progress_display.h"
#include "engine/frmMain.h"
#include "engine/window_controls.h"

namespace vantrel::cli {

// "vantrel-cli: invalid source folder 'X': No such file or directory".
std::string invalidFolderMessage(engine::TextBox box, const std::string& folder,
                                 const std::string& reason);

// The window's controls for a terminal: folder texts and bars kept in memory,
// progress drawn on stderr, message boxes written as lines, Ctrl-C taken as
// Exit.
class TerminalWindow final : public engine::WindowControls {
  public:
    TerminalWindow(platform::FileSystem& files, ProgressDisplay& display, bool alert);
    // The window object whose Exit handler Ctrl-C presses.
    void attach(engine::frmMain& form) { m_form = &form; }

    // An "Error" message was shown: a folder was refused or held no DVD file.
    bool refused() const { return m_refused; }

    std::string text(engine::TextBox box) override { return m_texts[box]; }
    void setText(engine::TextBox box, const std::string& text) override { m_texts[box] = text; }
    void setSelStart(engine::TextBox, int) override {}
    void setSelLength(engine::TextBox, int) override {}
    void setFocus(engine::TextBox) override {}
    void setEnabled(engine::Input, bool) override {}
    void setMax(engine::Bar bar, float max) override;
    void setVisible(engine::Bar, bool) override {}
    // Nothing to show; a panel no window has is refused all the same.
    void setPanelText(int panel, const std::string&) override { panelIndex(panel); }
    void setMousePointer(engine::MousePointer) override {}
    int alertValue() override { return m_alert; }
    void setAlertValue(int value) override { m_alert = checkedAlertValue(value); }
    void messageBox(const std::string& prompt, engine::MessageIcon icon,
                    const std::string& title) override;
    void beep() override;
    void pumpEvents() override;
    void closeWindow() override {}
    float windowWidth() override { return 0; }
    float windowHeight() override { return 0; }
    void setWindowWidth(float) override {}
    void setWindowHeight(float) override {}
    engine::WindowState windowState() override { return engine::WindowState::Normal; }

  private:
    void startJob(int fileTotal);
    void startFile();
    void showProgress();

    platform::FileSystem& m_files;
    ProgressDisplay& m_display;
    engine::frmMain* m_form = nullptr;
    std::map<engine::TextBox, std::string> m_texts;
    int m_alert;
    int m_filesStarted = 0;
    std::map<std::string, std::int64_t> m_vobLengths;  // measured when the job starts
    std::int64_t m_vobBytesBefore = 0;                 // of the VOBs before the current file
    std::int64_t m_currentVobLength = 0;               // 0 while a side file is copied
    unsigned m_pumps = 0;
    bool m_refused = false;
    bool m_exitPressed = false;
};

}  // namespace vantrel::cli
