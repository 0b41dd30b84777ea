#pragma once

#include <windows.h>

#include "platform/folder_dialog.h"

namespace vantrel::ui::win32 {

// The folder chooser on Windows: the shell's folder browser, titled "Select
// folder", with no owner window, so that the main window stays usable while
// it is open. Nothing is kept from one call to the next.
class ShowDir final : public platform::FolderDialog {
  public:
    std::string PickFolder(const std::string& start, std::uint32_t flags) override;

    // The browser's callback: once the dialog is made, it selects the start
    // folder, whose wide path `data` points to.
    static int CALLBACK PickFolderHook(HWND dialog, UINT message, LPARAM parameter, LPARAM data);
};

}  // namespace vantrel::ui::win32
