#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "platform/file_system.h"

namespace vantrel::engine {

// The window's controls that the engine reaches, by their names.
enum class TextBox { txtVobDir, txtDest };
enum class Input { txtVobDir, txtDest, cmdGo };
enum class Bar { Prog, ProgFile };

enum class MousePointer : int { Default = 0, Hourglass = 11 };
enum class MessageIcon : int { Critical = 16, Exclamation = 48, Information = 64 };
enum class WindowState : int { Normal = 0, Minimized = 1, Maximized = 2 };

// How often a window handles its events while a job runs. The job pumps once
// per sector (and per block and file), tens of thousands of times a second:
// a window handles its events at the first pump after kRealPumpInterval has
// passed since it last did, soon enough for a click, a key or a repaint to
// wait less than a frame of a 60 Hz screen, and for Ctrl-C to be seen at
// once, yet seldom enough to cost a scan next to nothing. It reads the clock
// only at every kPumpCallsPerClockRead-th call, since even reading it per
// sector would cost a sizeable share of a scan's speed (sectors are read in
// well under a microsecond each). While the job waits on a call that may
// block (a drive retrying a bad spot), it pumps once per kRealPumpInterval
// through pumpEventsWhileWaiting, each time a real pump.
inline constexpr std::chrono::milliseconds kRealPumpInterval{10};
inline constexpr unsigned kPumpCallsPerClockRead = 64;

// Values of the alert check box.
inline constexpr int kUnchecked = 0;
inline constexpr int kChecked = 1;
inline constexpr int kGrayed = 2;

// Every operation the engine, the settings and the folder picker may carry out
// on the main window; nothing else of the window is theirs to touch. The real
// window, the terminal front end and the tests' recorder implement it. Any
// operation may throw; the caller's failure handler deals with it.
class Controls {
  public:
    virtual ~Controls() = default;

    // Folder boxes: the whole text; selection and caret in characters.
    virtual std::string text(TextBox box) = 0;
    virtual void setText(TextBox box, const std::string& text) = 0;
    virtual void setSelStart(TextBox box, int start) = 0;
    virtual void setSelLength(TextBox box, int length) = 0;
    virtual void setFocus(TextBox box) = 0;

    virtual void setEnabled(Input input, bool enabled) = 0;

    // Progress bars, single-precision as the window keeps them.
    virtual void setMin(Bar bar, float min) = 0;
    virtual void setMax(Bar bar, float max) = 0;
    virtual void setValue(Bar bar, float value) = 0;
    virtual float value(Bar bar) = 0;
    virtual void setVisible(Bar bar, bool visible) = 0;

    // Status bar panels 1, 2 and 3.
    virtual void setPanelText(int panel, const std::string& text) = 0;

    virtual void setMousePointer(MousePointer pointer) = 0;

    // The hidden alert check box: 0, 1 or 2; any other value is refused (throws).
    virtual int alertValue() = 0;
    virtual void setAlertValue(int value) = 0;

    // The hidden "*.vob" file list: pointing it at a folder that does not exist
    // throws; the count is 16-bit as the list keeps it.
    virtual void setFileListPath(const std::string& folder) = 0;
    virtual std::int16_t fileListCount() = 0;
    virtual std::string fileListItem(int index) = 0;
    // The file list reads folders through `files` from now on: the window
    // object hands it the file system it reads its job's source through, so
    // that listing a disc that stalls waits off the window's thread too.
    virtual void listFilesThrough(platform::FileSystem& files) = 0;

    // A modal message with one OK button; returns when the user has closed it.
    virtual void messageBox(const std::string& prompt, MessageIcon icon,
                            const std::string& title) = 0;
    virtual void beep() = 0;
    // Runs whatever window events are due: the only point where other handlers
    // run while a job works.
    virtual void pumpEvents() = 0;
    // The same while the job waits on a call that may block on its source:
    // called once per kRealPumpInterval, so that each call is a real pump
    // (pumpEvents counts its calls before it even looks at the clock).
    virtual void pumpEventsWhileWaiting() = 0;
    virtual void closeWindow() = 0;

    // Outer size in twips, and state.
    virtual float windowWidth() = 0;
    virtual float windowHeight() = 0;
    virtual void setWindowWidth(float width) = 0;
    virtual void setWindowHeight(float height) = 0;
    virtual WindowState windowState() = 0;
};

}  // namespace vantrel::engine
