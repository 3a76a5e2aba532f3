// Fuzzes the declared-size reader and the JPEG segment walk on arbitrary bytes: no read may
// leave the input, every segment must lie inside it and the walk must always move on.
#include "archive/photo_header.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    if (const auto declared = peekPhotoSize(bytes)) {
        exceedsPhotoLimits(declared->width, declared->height);
    }
    std::size_t position = 2;
    std::size_t previous = position;
    while (const auto segment = nextJpegSegment(bytes, position)) {
        if (segment->payload > size || segment->payloadLength > size - segment->payload ||
            position <= previous) {
            std::abort();
        }
        previous = position;
    }
    return 0;
}
