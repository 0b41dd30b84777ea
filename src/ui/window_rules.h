#pragma once

// The rules of the keyboard and the focus that every window follows alike,
// free of any toolkit: the window asks, then does what the answer says with
// its own controls.

#include <functional>
#include <optional>
#include <utility>

#include "ui/window_layout.h"

namespace vantrel::ui {

class WindowRules {
  public:
    // `jobRunning` says whether a job runs now.
    explicit WindowRules(std::function<bool()> jobRunning) : m_jobRunning(std::move(jobRunning)) {}

    // The button Enter presses with the focus on `focus` (none: on the window
    // itself) while no job runs, which a window draws as its default button:
    // a focused command button, otherwise Extract.
    static ControlId defaultButton(std::optional<ControlId> focus);
    // The button a press of Enter presses now, if any. A held key's repeats
    // press nothing: after a job, one would close the Done box and the next
    // would run the job again. During a job Enter starts nothing (no browser
    // opens in its middle) and presses only a focused Exit. The window
    // presses the button only if it is enabled.
    std::optional<ControlId> enterPresses(std::optional<ControlId> focus, bool repeat) const;

    // Closing by the title bar while a job runs acts as Exit: the job winds
    // down and closes the window itself.
    bool closeActsAsExit() const { return m_jobRunning(); }

    // A control disabled for a job while it has the focus gives it to the
    // window itself, not to the next control: that is a browse button, which
    // a second Enter would press in the middle of the job. Enabled again, it
    // takes the focus back if nobody moved it meanwhile, so that Enter after
    // a job starts the next one.
    // `control` is disabled; true when the window must take the focus from it.
    bool focusGoesToWindow(ControlId control, bool hadFocus);
    // `control` is enabled again; true when it must take the focus back
    // (`windowHasFocus`: the window itself still has it).
    bool focusComesBack(ControlId control, bool windowHasFocus);
    // The window keeps the focus a control gave it, rather than handing it on
    // to a control as a dialog would.
    bool windowKeepsFocus() const { return m_focusGivenUp.has_value(); }

  private:
    std::function<bool()> m_jobRunning;
    std::optional<ControlId> m_focusGivenUp;
};

}  // namespace vantrel::ui
