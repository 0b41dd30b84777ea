#pragma once

#include <map>
#include <string>

#include "cli/job_report.h"
#include "cli/progress_display.h"
#include "engine/control_state.h"
#include "engine/frmMain.h"

namespace vantrel::cli {

// The window's controls for a terminal: folder texts and bars kept in memory,
// the "Done" message written as a line, Ctrl-C taken as Exit, the progress
// shown as the job pumps. What the job does is the job report's to tell.
class TerminalWindow final : public engine::ControlState {
  public:
    TerminalWindow(platform::FileSystem& files, ProgressDisplay& display, bool alert);
    // The window object whose Exit handler Ctrl-C presses, and the report
    // whose progress each pump shows.
    void attach(engine::frmMain& form, JobReport& report) {
        m_form = &form;
        m_report = &report;
    }

    std::string text(engine::TextBox box) override { return m_texts[box]; }
    void setText(engine::TextBox box, const std::string& text) override { m_texts[box] = text; }
    void setSelStart(engine::TextBox, int) override {}
    void setSelLength(engine::TextBox, int) override {}
    void setFocus(engine::TextBox) override {}
    void setEnabled(engine::Input, bool) override {}
    void setVisible(engine::Bar, bool) override {}
    // Nothing to show; a panel no window has is refused all the same.
    void setPanelText(int panel, const std::string&) override { panelIndex(panel); }
    void setMousePointer(engine::MousePointer) override {}
    int alertValue() override { return m_alert; }
    void setAlertValue(int value) override { m_alert = checkedAlertValue(value); }
    // A terminal shows no boxes: the job report tells what the job's boxes
    // said (a refusal, with its folder and reason; the alert's message).
    void messageBox(const std::string&, engine::MessageIcon, const std::string&) override {}
    void beep() override;
    void pumpEvents() override;
    void pumpEventsWhileWaiting() override;
    void closeWindow() override {}
    float windowWidth() override { return 0; }
    float windowHeight() override { return 0; }
    void setWindowWidth(float) override {}
    void setWindowHeight(float) override {}
    engine::WindowState windowState() override { return engine::WindowState::Normal; }

  private:
    ProgressDisplay& m_display;
    engine::frmMain* m_form = nullptr;
    JobReport* m_report = nullptr;
    std::map<engine::TextBox, std::string> m_texts;
    int m_alert;
    unsigned m_pumps = 0;
    bool m_exitPressed = false;
};

}  // namespace vantrel::cli
