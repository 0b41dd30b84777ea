#pragma once

#include <QIcon>

namespace vantrel::ui {

// The program's own icon, in its 16, 32 and 64 pixel images, for every window
// it shows: the main window, its message boxes and the folder chooser.
QIcon programIcon();

}  // namespace vantrel::ui
