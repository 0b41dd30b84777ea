// vantrel.exe: the window. No command line, no menu: the window is the program.

#include "ui/win32/main_window.h"

#include <commctrl.h>

#include <exception>

#include "platform/clock.h"
#include "platform/paths.h"
#include "platform/startup.h"
#include "platform/system_file_system.h"
#include "platform/wide_text.h"
#include "registry/system_registry.h"
#include "ui/win32/ShowDir.h"

using namespace vantrel;

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    platform::prepareProcess();
    INITCOMMONCONTROLSEX classes{sizeof classes,
                                 ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&classes);
    try {
        platform::SystemFileSystem files;
        platform::SystemClock clock;
        const auto registry = registry::systemRegistry();
        engine::Services services{files, clock, platform::programFolder(), registry.get()};
        ui::win32::ShowDir folderDialog;
        services.folderDialog = &folderDialog;
        ui::win32::MainWindow window(services);
        window.start();
        MSG message;
        while (::GetMessageW(&message, nullptr, 0, 0) > 0) window.dispatch(message);
        return int(message.wParam);
    } catch (const std::exception& failure) {
        // Nothing else could say why there is no window.
        ::MessageBoxW(nullptr, platform::toWide(failure.what()).c_str(), L" Vantrel Extractor",
                      MB_OK | MB_ICONERROR);
        return 1;
    }
}
