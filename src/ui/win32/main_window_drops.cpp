// A folder or a disc image dropped on a folder box. The window takes every
// drop (DragAcceptFiles): a disabled box (during a job) takes none, while the
// path is for the next job then.

#include "ui/win32/main_window.h"

#include <string>

#include "platform/wide_text.h"

namespace vantrel::ui::win32 {

std::optional<engine::TextBox> MainWindow::boxAt(POINT point) const {
    for (const engine::TextBox which : {engine::TextBox::txtVobDir, engine::TextBox::txtDest}) {
        RECT place;
        ::GetWindowRect(box(which), &place);
        ::MapWindowPoints(HWND_DESKTOP, m_window, reinterpret_cast<POINT*>(&place), 2);
        if (::PtInRect(&place, point) != FALSE) return which;
    }
    return std::nullopt;
}

// The first of the names dropped, where the drop landed; the system's
// record of the drop is let go in any case.
void MainWindow::onDropFiles(HDROP drop) {
    std::wstring path;
    POINT point{};
    if (::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) > 0 &&
        ::DragQueryPoint(drop, &point) != FALSE) {
        path.resize(::DragQueryFileW(drop, 0, nullptr, 0));
        path.resize(::DragQueryFileW(drop, 0, path.data(), UINT(path.size() + 1)));
    }
    ::DragFinish(drop);
    const std::optional<engine::TextBox> target = boxAt(point);
    if (path.empty() || !target) return;
    guarded("folderDropped", [&] { m_form.folderDropped(*target, platform::toUtf8(path)); });
}

}  // namespace vantrel::ui::win32
