// One look-up in a large settings store, against reading the file alone: the
// store reads its file in one linear pass.

#include "settings_store.h"

#include <stdexcept>
#include <string>

#include "platform/registry_file_store.h"
#include "platform/registry_store_file.h"
#include "support/temp_folder.h"

namespace vantrel::bench {

// 5 MB made of a value with a long name that goes on over many continuation
// lines: the shape that once took seconds to read.
Comparison settingsStoreLookUp(int rounds) {
    testing::TempFolder temp;
    const std::string path = temp / "registry.reg";
    std::string text =
        "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\V]\n\"" + std::string(100000, 'N') + "\"=hex:";
    while (text.size() < 5000000) text += "00,01,02,03,\\\n  ";
    text += "ff\n\"ALERT\"=hex:01\n";
    testing::writeFile(path, text);
    platform::RegistryFileStore store(path);
    platform::HKEY key = platform::kNullKey;
    store.RegOpenKeyA(platform::HKEY_LOCAL_MACHINE, "V", key);
    return alternate(timing([&] {
                         std::string read;
                         platform::readStoreFile(path, read);
                     }),
                     timing([&] {
                         std::uint32_t size = 0;
                         if (store.RegQueryValueExA(key, "ALERT", nullptr, nullptr, &size) !=
                             platform::ERROR_SUCCESS)
                             throw std::runtime_error("the store did not find its value");
                     }),
                     rounds);
}

}  // namespace vantrel::bench
