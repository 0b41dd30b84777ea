// The NV_PCK scan: a VOB image made of packs drawn from the input is scanned by
// the window object's Process, on the tests' in-memory file system, and its
// output must be what the tests' plain reading of the format gives.

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "dvd/dvd_format.h"
#include "support/dvd_generator.h"
#include "support/test_bed.h"

namespace {

using vantrel::testing::Bytes;

constexpr auto kSector = static_cast<std::size_t>(vantrel::dvd::kSectorSize);
constexpr const char* kVob = "VTS_01_1.VOB";

void put(Bytes& image, std::size_t at, std::initializer_list<unsigned char> bytes) {
    std::copy(bytes.begin(), bytes.end(), image.begin() + static_cast<std::ptrdiff_t>(at));
}

// One pack at `start`: filler, then a navigation pack, a near miss of one, a
// video pack or bytes straight from the input.
void addPack(FuzzedDataProvider& choice, Bytes& image, std::size_t start) {
    const auto fill = choice.ConsumeIntegral<unsigned char>();
    for (std::size_t i = start; i < image.size(); ++i)
        image[i] = static_cast<unsigned char>(fill + i);
    switch (choice.ConsumeIntegralInRange(0, 3)) {
        case 0:
        case 1:
            put(image, start, {0x00, 0x00, 0x01, 0xBA});
            put(image, start + 14, {0x00, 0x00, 0x01, 0xBB});
            put(image, start + 38, {0x00, 0x00, 0x01, 0xBF});
            if (choice.ConsumeBool()) {  // one of the four bytes that decide, changed
                const std::size_t offsets[] = {2, 3, 40, 41};
                image[start + offsets[choice.ConsumeIntegralInRange(0, 3)]] =
                    choice.ConsumeIntegral<unsigned char>();
            }
            break;
        case 2:
            put(image, start, {0x00, 0x00, 0x01, 0xBA});
            put(image, start + 14, {0x00, 0x00, 0x01, 0xE0});
            break;
        default: {
            const Bytes raw = choice.ConsumeBytes<unsigned char>(64);
            std::copy(raw.begin(), raw.end(), image.begin() + static_cast<std::ptrdiff_t>(start));
        }
    }
}

Bytes makeImage(FuzzedDataProvider& choice) {
    Bytes image;
    const std::size_t packs = choice.ConsumeIntegralInRange<std::size_t>(0, 40);
    const std::size_t tail = choice.ConsumeIntegralInRange<std::size_t>(0, kSector - 1);
    for (std::size_t i = 0; i <= packs; ++i) {
        const std::size_t start = image.size();
        image.resize(start + kSector);
        addPack(choice, image, start);
    }
    image.resize(packs * kSector + tail);  // the last pack cut short, or gone
    return image;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static vantrel::testing::DiskTestBed bed;
    static const bool ready = (bed.useFolders(), true);
    (void)ready;

    FuzzedDataProvider choice(data, size);
    const Bytes image = makeImage(choice);
    bed.disk.writeFile(bed.source() + "/" + kVob, image);
    bed.form.Process(kVob);
    if (bed.disk.readFile(bed.destination() + "/" + kVob) !=
        vantrel::testing::expectedNavPacks(image)) {
        std::fprintf(stderr, "nvpck scan: the output is not the navigation packs of the image\n");
        std::abort();
    }
    if (!bed.logText().empty()) {
        std::fprintf(stderr, "nvpck scan: a failure was logged:\n%s\n", bed.logText().c_str());
        std::abort();
    }
    return 0;
}
