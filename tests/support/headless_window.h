#pragma once

#include <array>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "engine/control_state.h"

namespace vantrel::testing {

// Controls without a screen: keeps every control's state where a test can read
// it, records the calls made (when asked to), and runs a test's script at each
// event pump and each message box.
class HeadlessWindow final : public engine::ControlState {
  public:
    struct BarState {
        float min = 0, max = 100, value = 0;
        bool visible = false;
    };
    struct Message {
        std::string prompt;
        engine::MessageIcon icon;
        std::string title;
    };
    struct Selection {
        int start = 0, length = 0;
    };

    explicit HeadlessWindow(platform::FileSystem& files) : engine::ControlState(files) {}

    std::string text(engine::TextBox box) override;
    void setText(engine::TextBox box, const std::string& text) override;
    void setSelStart(engine::TextBox box, int start) override;
    void setSelLength(engine::TextBox box, int length) override;
    void setFocus(engine::TextBox box) override;
    void setEnabled(engine::Input input, bool enabled) override;
    void setMin(engine::Bar bar, float min) override;
    void setMax(engine::Bar bar, float max) override;
    void setValue(engine::Bar bar, float value) override;
    void setVisible(engine::Bar bar, bool visible) override;
    void setPanelText(int panel, const std::string& text) override;
    void setMousePointer(engine::MousePointer pointer) override;
    int alertValue() override;
    void setAlertValue(int value) override;
    void setFileListPath(const std::string& folder) override;
    void messageBox(const std::string& prompt, engine::MessageIcon icon,
                    const std::string& title) override;
    void beep() override;
    void pumpEvents() override;
    void pumpEventsWhileWaiting() override;
    void closeWindow() override;
    float windowWidth() override;
    float windowHeight() override;
    void setWindowWidth(float value) override;
    void setWindowHeight(float value) override;
    engine::WindowState windowState() override { return state; }

    // State, public for the tests to read and set.
    std::map<engine::TextBox, std::string> texts;
    std::map<engine::TextBox, Selection> selections;
    std::vector<engine::TextBox> focusHistory;
    std::map<engine::Input, bool> enabled{{engine::Input::txtVobDir, true},
                                          {engine::Input::txtDest, true},
                                          {engine::Input::cmdGo, true}};
    std::array<bool, 2> barsVisible{};
    std::array<std::string, 3> panels{};
    engine::MousePointer pointer = engine::MousePointer::Default;
    int alert = engine::kUnchecked;
    std::vector<Message> messages;
    int beeps = 0;
    long pumps = 0;
    long waitingPumps = 0;  // while the job waited on a call
    int closes = 0;
    float width = 7245, height = 3300;
    engine::WindowState state = engine::WindowState::Normal;
    // Reading the window's size fails, as a window that is gone would.
    bool refuseWindowSize = false;
    // A value set outside its bar's range, or a range with max below min.
    int barRangeViolations = 0;

    // Every call as a line ("setPanelText 2 6"), when switched on; pumps and
    // bar values are left out unless `recordProgress` is set too.
    bool recordCalls = false;
    bool recordProgress = false;
    std::vector<std::string> calls;

    // Run at each pump with its number (1 for the first), at each pump while
    // the job waits on a call, and at each message box.
    std::function<void(long pump)> onPump;
    std::function<void(long pump)> onWaitingPump;
    std::function<void(const Message&)> onMessage;

    // A bar as the window holds it.
    BarState bar(engine::Bar which) const;

  private:
    void record(const std::string& call);
    void checkRange(engine::Bar which);
};

}  // namespace vantrel::testing
