#pragma once

// The main window's controls as every window builds them: kind, caption, place
// and size in twips, tab order, and what a screen reader announces. No toolkit
// here: the Qt window and the Win32 window both read this table.

#include <array>
#include <string>
#include <string_view>

namespace vantrel::ui {

enum class ControlKind {
    Label,
    TextBox,
    CommandButton,
    CheckBox,
    FileList,
    ProgressBar,
    StatusBar
};

// A place and size in twips (1/1440 inch), from the client area's top-left corner.
struct TwipsRect {
    int left, top, width, height;
    constexpr int right() const { return left + width; }
    constexpr int bottom() const { return top + height; }
};

struct ControlLayout {
    // The control's name; the members of a control array carry their index
    // ("Label1_0", "cmdDir_1").
    std::string_view name;
    ControlKind kind;
    int tabIndex;
    // "&" stands before the access key.
    std::string_view caption;
    TwipsRect place;
    // Shown when the window opens; the check box and the file list never are.
    bool visible;
};

inline constexpr int kClientWidthTwips = 7125;
inline constexpr int kClientHeightTwips = 2805;

// Every control of the window, in tab order. A label's access key moves the
// focus to the control after it, its box.
inline constexpr std::array<ControlLayout, 13> kControls{{
    {"Label1_0", ControlKind::Label, 0, "&Source:", {600, 360, 555, 195}, true},
    {"txtVobDir", ControlKind::TextBox, 1, "", {1320, 240, 4815, 375}, true},
    {"cmdDir_0", ControlKind::CommandButton, 2, "<<", {6240, 240, 495, 375}, true},
    {"Label1_1", ControlKind::Label, 3, "&Destination:", {360, 960, 840, 195}, true},
    {"txtDest", ControlKind::TextBox, 4, "", {1320, 840, 4815, 375}, true},
    {"cmdDir_1", ControlKind::CommandButton, 5, "<<", {6240, 840, 495, 375}, true},
    {"chkAlert", ControlKind::CheckBox, 6, "&Alert When Done", {120, 1560, 1575, 255}, false},
    {"cmdGo", ControlKind::CommandButton, 7, "&Extract", {2400, 1440, 1095, 495}, true},
    {"cmdExit", ControlKind::CommandButton, 8, "E&xit", {4200, 1440, 1095, 495}, true},
    {"File", ControlKind::FileList, 9, "", {5640, 1680, 1335, 285}, false},
    {"ProgFile", ControlKind::ProgressBar, 10, "", {120, 2040, 6855, 255}, false},
    {"Prog", ControlKind::ProgressBar, 11, "", {120, 2280, 6855, 255}, false},
    {"Stat", ControlKind::StatusBar, 12, "", {0, 2550, kClientWidthTwips, 255}, true},
}};

// What a screen reader announces for a control where its kind and caption
// say too little, and what sighted users see of it as its tooltip.
struct ControlAnnouncement {
    std::string_view control;
    // Announced as its name instead of its caption ("<<"), or where it has
    // none; empty: its caption, for a box its label's.
    std::string_view name;
    // What it holds or does, where that helps.
    std::string_view description;
};

inline constexpr std::array<ControlAnnouncement, 9> kAnnouncements{{
    {"txtVobDir", "Source folder", "The folder holding the disc's .VOB, .IFO and .BUP files"},
    {"cmdDir_0", "Browse for the source folder", ""},
    {"txtDest", "Destination folder",
     "The folder that receives the copy; its old DVD files are deleted first"},
    {"cmdDir_1", "Browse for the destination folder", ""},
    {"cmdGo", "", "Copy the source's structure without its video into the destination"},
    {"cmdExit", "", "Close the window; a running job first stops after the current sector"},
    {"ProgFile", "Progress of the current file", ""},
    {"Prog", "Progress of all files", ""},
    {"Stat", "Job status", ""},
}};

// Enter presses the default button, Esc the cancel button.
inline constexpr std::string_view kDefaultButton = "cmdGo";
inline constexpr std::string_view kCancelButton = "cmdExit";

// The status bar's three panels: two of a fixed width, the third takes the
// rest of the bar but never less than its minimum.
inline constexpr int kFixedPanelTwips = 940;
inline constexpr int kLastPanelMinimumTwips = 1440;
// What each panel shows, announced before its text and shown as its tooltip.
inline constexpr std::array<std::string_view, 3> kPanelNames{"Files done", "DVD files",
                                                             "VOB being scanned"};

// The control of that name; throws Failure for any other name.
const ControlLayout& controlNamed(std::string_view name);

// The announcement of the control of that name: empty texts for a control
// whose kind and caption say what it is.
ControlAnnouncement announcementOf(std::string_view name);

// A control's tooltip: what it does, or else its name. The status bar has
// none of its own: its panels have theirs.
std::string_view toolTip(const ControlAnnouncement& announcement);

// What a screen reader announces for status panel `panel` (1 to 3) showing
// `text`: "Files done: 12", or the panel's name alone while it is empty.
std::string panelAccessibleName(int panel, std::string_view text);

// True for the kinds of control that take the focus when shown and enabled.
bool takesFocus(ControlKind kind);

// Twips as pixels on a screen of `dpi` dots per inch, to the nearest pixel.
int twipsToPixels(double twips, int dpi);
float pixelsToTwips(int pixels, int dpi);

struct PixelRect {
    int left, top, width, height;
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// A place in pixels. Its edges are converted, not its size, so that controls
// that meet in twips meet in pixels at any DPI.
PixelRect toPixels(const TwipsRect& place, int dpi);

// The widths of the status panels, in pixels, in a bar `barWidth` pixels wide.
std::array<int, 3> panelWidths(int barWidth, int dpi);

}  // namespace vantrel::ui
