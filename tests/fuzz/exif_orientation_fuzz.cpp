// Fuzzes the Exif orientation reader. An input whose first byte is even is taken as the
// TIFF block of an Exif segment inside a minimal JPEG, so the fuzzer spends its time on the
// block's offsets; any other input is read as a whole file.
#include "archive/exif_orientation.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0 || data[0] % 2 != 0 || size - 1 > 65535 - 8) {
        jpegExifOrientation(std::span<const std::uint8_t>(data, size));
        return 0;
    }
    const std::size_t segmentLength = 2 + 6 + (size - 1);
    std::vector<std::uint8_t> file{0xFF,
                                   0xD8,
                                   0xFF,
                                   0xE1,
                                   static_cast<std::uint8_t>(segmentLength >> 8),
                                   static_cast<std::uint8_t>(segmentLength),
                                   'E',
                                   'x',
                                   'i',
                                   'f',
                                   0,
                                   0};
    file.insert(file.end(), data + 1, data + size);
    file.insert(file.end(), {0xFF, 0xD9});
    jpegExifOrientation(file);
    return 0;
}
