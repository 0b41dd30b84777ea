#include "ui/qt/program_icon.h"

#include <QString>

// The icon's images are resources compiled into this static library. Nothing
// else refers to them, so the linker would leave them out of the program
// unless their initialiser is called (from outside any namespace; a second
// registration is ignored).
static void initialiseIconResources() { Q_INIT_RESOURCE(vantrel); }

namespace vantrel::ui {

QIcon programIcon() {
    initialiseIconResources();
    QIcon icon;
    for (const int size : {16, 32, 64})
        icon.addFile(QString(":/icons/vantrel-%1.png").arg(size), QSize(size, size));
    return icon;
}

}  // namespace vantrel::ui
