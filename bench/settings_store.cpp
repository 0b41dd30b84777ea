// A window's load of a large settings store, against reading the file alone:
// the store reads its file once, in one linear pass, whatever its shape.

#include "settings_store.h"

#include <stdexcept>
#include <string>

#include "registry/locked_file_update.h"
#include "registry/registry_constants.h"
#include "registry/registry_file_store.h"
#include "support/temp_folder.h"

namespace vantrel::bench {
namespace {

// 5 MB in one of the shapes that once took seconds to read.
std::string storeText(StoreShape shape) {
    std::string text = "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\V]\n\"ALERT\"=hex:01\n";
    if (shape == StoreShape::LongContinuedValue) {
        // A value with a long name that goes on over many continuation lines.
        text += "\"" + std::string(100000, 'N') + "\"=hex:";
        while (text.size() < 5000000) text += "00,01,02,03,\\\n  ";
        text += "ff\n";
    } else {
        text.resize(5000000, '\n');  // 5 million blank lines
    }
    return text;
}

// What the window's load asks of the store: three values, each sized, then read.
void loadLikeTheWindow(registry::RegistryApi& store) {
    const registry::RegistryBatch oneReading(store);
    registry::HKEY key = registry::kNullKey;
    store.RegOpenKeyA(registry::HKEY_LOCAL_MACHINE, "V", key);
    for (const char* name : {"VOBPATH", "DESTPATH", "ALERT"}) {
        unsigned char data[64];
        std::uint32_t size = sizeof data;
        store.RegQueryValueExA(key, name, nullptr, nullptr, &size);
        store.RegQueryValueExA(key, name, nullptr, data, &size);
    }
    std::uint32_t size = 0;
    if (store.RegQueryValueExA(key, "ALERT", nullptr, nullptr, &size) != registry::ERROR_SUCCESS)
        throw std::runtime_error("the store did not find its value");
    store.RegCloseKey(key);
}

}  // namespace

Comparison settingsStoreLoad(StoreShape shape, int rounds) {
    testing::TempFolder temp;
    const std::string path = temp / "registry.reg";
    testing::writeFile(path, storeText(shape));
    registry::RegistryFileStore store(path);
    return alternate(timing([&] {
                         std::string read;
                         registry::readStoreFile(path, read);
                     }),
                     timing([&] { loadLikeTheWindow(store); }), rounds);
}

}  // namespace vantrel::bench
