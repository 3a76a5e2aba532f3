// Fuzzes the pair file check on arbitrary bytes: it must never read outside the image, and
// whatever it accepts must meet every rule of the format and build back to the same bytes.
#include "pairs/pair_file.h"
#include "pairs/saved_pairs.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> image(data, data + size);
    savedPairItemText(1, parsePairHeader(image));
    const auto contents = decodePairFile(image);
    if (!contents) {
        return 0;
    }
    if (!arePairYears(contents->firstYear, contents->secondYear) || contents->firstBytes.empty() ||
        contents->secondBytes.empty() || contents->firstBytes.size() > MaxPhotoBytes ||
        contents->secondBytes.size() > MaxPhotoBytes ||
        encodePairFile(contents->firstYear, contents->secondYear, contents->firstBytes,
                       contents->secondBytes) != image) {
        std::abort();
    }
    return 0;
}
