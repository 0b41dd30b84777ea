#pragma once

#include <string>
#include <utility>

namespace vantrel::ui {

// A folder box's text as the program put it there (from the settings, from a
// job), kept byte for byte whatever the box can show of it: a name that is not
// UTF-8 shows as the file manager shows it, a text longer than the box holds
// shows cut. As long as the box shows what it showed then, that text is the
// box's text for the job and for the settings, so that a value nobody edited
// is never damaged; once the user changes it, the box's own text counts.
class KeptText {
  public:
    // `text` was put into the box, which then showed `shown` (UTF-8).
    void set(std::string text, std::string shown) {
        m_text = std::move(text);
        m_shown = std::move(shown);
    }
    // The box's text, now that it shows `shown`.
    std::string text(std::string shown) const { return shown == m_shown ? m_text : shown; }

  private:
    std::string m_text;
    std::string m_shown;
};

}  // namespace vantrel::ui
