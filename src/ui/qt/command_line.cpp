#include "ui/qt/command_line.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "log/log_file.h"
#include "platform/paths.h"
#include "platform/system_file_system.h"
#include "registry/registry_file_store.h"

namespace vantrel::ui {
namespace {

const char* const kUsage =
    "Usage: vantrel [--help] [--version]\n"
    "Open the Vantrel Extractor window: name a folder of DVD-Video files and a\n"
    "destination folder and press Extract to write a reduced copy, every .IFO and\n"
    ".BUP file copied byte for byte and every .VOB reduced to its navigation packs.\n"
    "\n"
    "  -h, --help     display this help and exit\n"
    "  -V, --version  output version information and exit\n"
    "\n"
    "The folders and the alert choice are kept in\n"
    "  %s\n"
    "Failures of the file work are appended to\n"
    "  %s\n"
    "\n"
    "vantrel-cli runs the same job without a window.\n"
    "Full documentation: man vantrel\n";

struct HeldMessage {
    QtMsgType type;
    std::string category;
    QString text;
};

std::vector<HeldMessage>& heldMessages() {
    static std::vector<HeldMessage> messages;
    return messages;
}

}  // namespace

std::optional<int> handleCommandLine(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            platform::SystemFileSystem files;
            std::printf(kUsage, registry::RegistryFileStore::defaultStorePath().c_str(),
                        log::defaultLogFile(files, platform::programFolder()).c_str());
            return EXIT_SUCCESS;
        }
        if (std::strcmp(argv[i], "--version") == 0 || std::strcmp(argv[i], "-V") == 0) {
            std::printf("vantrel (Vantrel Extractor) %s\n", VANTREL_VERSION);
            return EXIT_SUCCESS;
        }
    }
    return std::nullopt;
}

DisplayCheck::DisplayCheck() : m_previous(qInstallMessageHandler(hold)) {}

void DisplayCheck::done() {
    if (m_done) return;
    m_done = true;
    qInstallMessageHandler(m_previous);
    for (const HeldMessage& held : heldMessages()) {
        const QMessageLogContext context(nullptr, 0, nullptr, held.category.c_str());
        qt_message_output(held.type, context, held.text);
    }
    heldMessages().clear();
}

void DisplayCheck::hold(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtFatalMsg) {
        std::fputs("vantrel: cannot open a display; vantrel-cli runs without one\n", stderr);
        std::_Exit(EXIT_FAILURE);
    }
    heldMessages().push_back({type, context.category ? context.category : "", message});
}

}  // namespace vantrel::ui
