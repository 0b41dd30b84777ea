#pragma once

// The main window's controls as every window builds them: kind, caption, place
// and size in twips, tab order, and what a screen reader announces. No toolkit
// here: the Qt window and the Win32 window both read this table.

#include <array>
#include <cstddef>
#include <optional>
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

// The window's controls, in tab order; each enumerator is named as its control.
enum class ControlId {
    Label1_0,
    txtVobDir,
    cmdDir_0,
    Label1_1,
    txtDest,
    cmdDir_1,
    chkAlert,
    cmdGo,
    cmdExit,
    File,
    ProgFile,
    Prog,
    Stat,
};

struct ControlLayout {
    ControlId id;
    // The control's name, which object names and tests know it by; the
    // members of a control array carry their index ("Label1_0", "cmdDir_1").
    std::string_view name;
    ControlKind kind;
    // "&" stands before the access key.
    std::string_view caption;
    TwipsRect place;
    // Shown when the window opens; the check box and the file list never are.
    bool visible;
    // A label's box: the control its access key gives the focus to, and
    // which the label never reaches into.
    std::optional<ControlId> box = {};
};

inline constexpr int kClientWidthTwips = 7125;
inline constexpr int kClientHeightTwips = 2805;

// Every control of the window, in tab order, each at the place of its id.
inline constexpr std::array<ControlLayout, 13> kControls{{
    {ControlId::Label1_0,
     "Label1_0",
     ControlKind::Label,
     "&Source:",
     {600, 360, 555, 195},
     true,
     ControlId::txtVobDir},
    {ControlId::txtVobDir, "txtVobDir", ControlKind::TextBox, "", {1320, 240, 4815, 375}, true},
    {ControlId::cmdDir_0,
     "cmdDir_0",
     ControlKind::CommandButton,
     "<<",
     {6240, 240, 495, 375},
     true},
    {ControlId::Label1_1,
     "Label1_1",
     ControlKind::Label,
     "&Destination:",
     {360, 960, 840, 195},
     true,
     ControlId::txtDest},
    {ControlId::txtDest, "txtDest", ControlKind::TextBox, "", {1320, 840, 4815, 375}, true},
    {ControlId::cmdDir_1,
     "cmdDir_1",
     ControlKind::CommandButton,
     "<<",
     {6240, 840, 495, 375},
     true},
    {ControlId::chkAlert,
     "chkAlert",
     ControlKind::CheckBox,
     "&Alert When Done",
     {120, 1560, 1575, 255},
     false},
    {ControlId::cmdGo,
     "cmdGo",
     ControlKind::CommandButton,
     "&Extract",
     {2400, 1440, 1095, 495},
     true},
    {ControlId::cmdExit,
     "cmdExit",
     ControlKind::CommandButton,
     "E&xit",
     {4200, 1440, 1095, 495},
     true},
    {ControlId::File, "File", ControlKind::FileList, "", {5640, 1680, 1335, 285}, false},
    {ControlId::ProgFile, "ProgFile", ControlKind::ProgressBar, "", {120, 2040, 6855, 255}, false},
    {ControlId::Prog, "Prog", ControlKind::ProgressBar, "", {120, 2280, 6855, 255}, false},
    {ControlId::Stat, "Stat", ControlKind::StatusBar, "", {0, 2550, kClientWidthTwips, 255}, true},
}};

// The layout of the control `id`.
constexpr const ControlLayout& layoutOf(ControlId id) { return kControls[std::size_t(id)]; }

static_assert(
    [] {
        for (std::size_t i = 0; i < kControls.size(); ++i) {
            const ControlLayout& control = kControls[i];
            if (control.id != ControlId(i)) return false;
            if ((control.kind == ControlKind::Label) != control.box.has_value()) return false;
            if (control.box && layoutOf(*control.box).kind != ControlKind::TextBox) return false;
        }
        return true;
    }(),
    "each control stands at the place of its id, and each label names its box");

// What a screen reader announces for a control where its kind and caption
// say too little, and what sighted users see of it as its tooltip.
struct ControlAnnouncement {
    ControlId control;
    // Announced as its name instead of its caption ("<<"), or where it has
    // none; empty: its caption, for a box its label's.
    std::string_view name;
    // What it holds or does, where that helps.
    std::string_view description;
};

inline constexpr std::array<ControlAnnouncement, 9> kAnnouncements{{
    {ControlId::txtVobDir, "Source folder",
     "The folder holding the disc's .VOB, .IFO and .BUP files"},
    {ControlId::cmdDir_0, "Browse for the source folder", ""},
    {ControlId::txtDest, "Destination folder",
     "The folder that receives the copy; its old DVD files are deleted first"},
    {ControlId::cmdDir_1, "Browse for the destination folder", ""},
    {ControlId::cmdGo, "", "Copy the source's structure without its video into the destination"},
    {ControlId::cmdExit, "",
     "Close the window; a running job first stops after the current sector"},
    {ControlId::ProgFile, "Progress of the current file", ""},
    {ControlId::Prog, "Progress of all files", ""},
    {ControlId::Stat, "Job status", ""},
}};

// Enter presses the default button, Esc the cancel button.
inline constexpr ControlId kDefaultButton = ControlId::cmdGo;
inline constexpr ControlId kCancelButton = ControlId::cmdExit;
// The control array cmdDir by its Index: the source's browse button, then
// the destination's.
inline constexpr std::array<ControlId, 2> kCmdDir{ControlId::cmdDir_0, ControlId::cmdDir_1};

// The status bar's three panels: two of a fixed width, the third takes the
// rest of the bar but never less than its minimum.
inline constexpr int kFixedPanelTwips = 940;
inline constexpr int kLastPanelMinimumTwips = 1440;
// What each panel shows, announced before its text and shown as its tooltip.
inline constexpr std::array<std::string_view, 3> kPanelNames{"Files done", "DVD files",
                                                             "VOB being scanned"};

// The announcement of the control `id`: empty texts for a control whose
// kind and caption say what it is.
ControlAnnouncement announcementOf(ControlId id);

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
