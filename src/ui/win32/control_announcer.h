#pragma once

// Windows only: what a screen reader announces of the window's controls beyond
// their kind and caption, and the tooltips that show sighted users the same.

#include <windows.h>

#include <oleacc.h>

#include <string_view>
#include <utility>
#include <vector>

#include "ui/win32/com_apartment.h"
#include "ui/window_layout.h"

namespace vantrel::ui::win32 {

// Names and descriptions reach a screen reader through Dynamic Annotation:
// the system's accessibility layer announces them instead of what it would
// read off the control, such as a caption of "<<", which must stay. A system
// that keeps no annotations announces the captions. The tooltips are those of
// one tooltip control.
class ControlAnnouncer {
  public:
    // The tooltips belong to `window`, the controls' parent.
    explicit ControlAnnouncer(HWND window);
    // Clears the annotations while the controls still exist: the system keeps
    // them by window handle, which a later window may be given.
    ~ControlAnnouncer();
    ControlAnnouncer(const ControlAnnouncer&) = delete;
    ControlAnnouncer& operator=(const ControlAnnouncer&) = delete;

    void announce(HWND control, const ControlAnnouncement& announcement);
    // Status panel `panel` (1 to 3) showing `text`.
    void announcePanel(HWND statusBar, int panel, std::string_view text);
    // A tooltip over each status panel, where the panels are now.
    void placePanelTips(HWND statusBar);

  private:
    void annotate(HWND control, LONG child, const MSAAPROPID& property, std::string_view text);

    ComApartment m_com;
    IAccPropServices* m_annotations = nullptr;
    // What was annotated: a control, and one of its parts or CHILDID_SELF.
    std::vector<std::pair<HWND, LONG>> m_annotated;
    HWND m_window;
    HWND m_toolTips;
};

}  // namespace vantrel::ui::win32
