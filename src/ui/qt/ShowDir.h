#pragma once

#include <QString>

#include "platform/folder_dialog.h"

class QFileDialog;

namespace vantrel::ui {

// The folder chooser on Qt: a file dialog showing folders only, titled
// "Select folder", with no owner window, so that the main window stays usable
// while it is open. Nothing is kept from one call to the next.
class ShowDir final : public platform::FolderDialog {
  public:
    std::string PickFolder(const std::string& start, std::uint32_t flags) override;

    // Once the dialog is set up: the start folder is the one it shows.
    static void PickFolderHook(QFileDialog& dialog, const QString& start);
};

}  // namespace vantrel::ui
