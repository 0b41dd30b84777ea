#include "ui/win32/control_announcer.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "platform/wide_text.h"

namespace vantrel::ui::win32 {
namespace {

// The tool's size that every version of the common controls takes.
TTTOOLINFOW toolInfo(HWND owner, UINT_PTR id, UINT flags) {
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = flags;
    tool.hwnd = owner;
    tool.uId = id;
    return tool;
}

void addTool(HWND toolTips, TTTOOLINFOW& tool, std::string_view text) {
    std::wstring wide = platform::toWide(std::string(text));
    tool.lpszText = wide.data();  // copied by the tooltip control
    ::SendMessageW(toolTips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

}  // namespace

ControlAnnouncer::ControlAnnouncer(HWND window)
    : m_window(window),
      m_toolTips(::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                   WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr,
                                   ::GetModuleHandleW(nullptr), nullptr)) {
    void* annotations = nullptr;
    if (SUCCEEDED(::CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IAccPropServices, &annotations)))
        m_annotations = static_cast<IAccPropServices*>(annotations);
}

ControlAnnouncer::~ControlAnnouncer() {
    if (m_annotations != nullptr) {
        const MSAAPROPID properties[] = {PROPID_ACC_NAME, PROPID_ACC_DESCRIPTION};
        for (const auto& [control, child] : m_annotated)
            m_annotations->ClearHwndProps(control, DWORD(OBJID_CLIENT), DWORD(child), properties,
                                          2);
        m_annotations->Release();
    }
    // The window takes its tooltips with it when it goes first.
    if (::IsWindow(m_toolTips) != FALSE) ::DestroyWindow(m_toolTips);
}

void ControlAnnouncer::announce(HWND control, const ControlAnnouncement& announcement) {
    annotate(control, CHILDID_SELF, PROPID_ACC_NAME, announcement.name);
    annotate(control, CHILDID_SELF, PROPID_ACC_DESCRIPTION, announcement.description);
    const std::string_view tip = toolTip(announcement);
    if (tip.empty()) return;
    TTTOOLINFOW tool =
        toolInfo(m_window, reinterpret_cast<UINT_PTR>(control), TTF_IDISHWND | TTF_SUBCLASS);
    addTool(m_toolTips, tool, tip);
}

// A panel is a part of the status bar control, its child number `panel`.
void ControlAnnouncer::announcePanel(HWND statusBar, int panel, std::string_view text) {
    annotate(statusBar, panel, PROPID_ACC_NAME, panelAccessibleName(panel, text));
}

void ControlAnnouncer::placePanelTips(HWND statusBar) {
    for (std::size_t part = 0; part < kPanelNames.size(); ++part) {
        TTTOOLINFOW tool = toolInfo(statusBar, part, TTF_SUBCLASS);
        ::SendMessageW(m_toolTips, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        ::SendMessageW(statusBar, SB_GETRECT, part, reinterpret_cast<LPARAM>(&tool.rect));
        addTool(m_toolTips, tool, kPanelNames[part]);
    }
}

// A system without annotations (Wine has none) refuses them: the control is
// then announced as the system reads it.
void ControlAnnouncer::annotate(HWND control, LONG child, const MSAAPROPID& property,
                                std::string_view text) {
    if (m_annotations == nullptr || text.empty()) return;
    std::wstring wide = platform::toWide(std::string(text));
    if (FAILED(m_annotations->SetHwndPropStr(control, DWORD(OBJID_CLIENT), DWORD(child), property,
                                             wide.c_str())))
        return;
    if (std::find(m_annotated.begin(), m_annotated.end(), std::pair{control, child}) ==
        m_annotated.end())
        m_annotated.emplace_back(control, child);
}

}  // namespace vantrel::ui::win32
