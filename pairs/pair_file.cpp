// Building and checking pair file images. All integers are little-endian whatever the host,
// so they are put together byte by byte.
#include "pairs/pair_file.h"

#include <algorithm>
#include <utility>

namespace {

void putUint32(std::uint8_t* out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out[i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

std::uint32_t getUint32(const std::uint8_t* in) {
    return static_cast<std::uint32_t>(in[0]) | static_cast<std::uint32_t>(in[1]) << 8 |
           static_cast<std::uint32_t>(in[2]) << 16 | static_cast<std::uint32_t>(in[3]) << 24;
}

} // namespace

bool arePairYears(std::int32_t firstYear, std::int32_t secondYear) {
    const auto inRange = [](std::int32_t year) { return year >= MinYear && year <= MaxYear; };
    return inRange(firstYear) && inRange(secondYear) && firstYear != secondYear;
}

std::vector<std::uint8_t> encodePairFile(std::int32_t firstYear, std::int32_t secondYear,
                                         std::span<const std::uint8_t> firstPhoto,
                                         std::span<const std::uint8_t> secondPhoto) {
    // Begun with the magic, then grown: GCC cannot tell that a vector of the summed size is
    // never empty, and warns that copying the magic into it may write through null.
    std::vector<std::uint8_t> image(std::begin(PairMagic), std::end(PairMagic));
    image.resize(PairHeaderSize + firstPhoto.size() + secondPhoto.size());
    putUint32(&image[4], PairFormatVersion);
    putUint32(&image[8], static_cast<std::uint32_t>(firstYear));
    putUint32(&image[12], static_cast<std::uint32_t>(secondYear));
    putUint32(&image[16], static_cast<std::uint32_t>(firstPhoto.size()));
    putUint32(&image[20], static_cast<std::uint32_t>(secondPhoto.size()));
    std::copy(firstPhoto.begin(), firstPhoto.end(), image.begin() + PairHeaderSize);
    std::copy(secondPhoto.begin(), secondPhoto.end(),
              image.begin() + PairHeaderSize + static_cast<std::ptrdiff_t>(firstPhoto.size()));
    return image;
}

std::optional<PairFileHeader> parsePairHeader(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < PairHeaderSize) {
        return std::nullopt;
    }
    PairFileHeader header;
    std::copy(bytes.begin(), bytes.begin() + 4, header.magic);
    header.version = getUint32(&bytes[4]);
    header.firstYear = static_cast<std::int32_t>(getUint32(&bytes[8]));
    header.secondYear = static_cast<std::int32_t>(getUint32(&bytes[12]));
    header.firstLength = getUint32(&bytes[16]);
    header.secondLength = getUint32(&bytes[20]);
    return header;
}

std::optional<PairFileContents> decodePairFile(std::vector<std::uint8_t> image) {
    const std::vector<std::uint8_t> taken = std::move(image);
    const std::optional<PairFileHeader> header = parsePairHeader(taken);
    if (!header || !std::equal(std::begin(PairMagic), std::end(PairMagic), header->magic) ||
        header->version != PairFormatVersion ||
        !arePairYears(header->firstYear, header->secondYear) || header->firstLength == 0 ||
        header->secondLength == 0 || header->firstLength > MaxPhotoBytes ||
        header->secondLength > MaxPhotoBytes) {
        return std::nullopt;
    }
    // In 64 bits: two lengths near 4 GiB would wrap a 32-bit sum (the limits above already
    // keep them small, but the sum must not depend on that).
    const std::uint64_t expected =
        std::uint64_t{PairHeaderSize} + header->firstLength + header->secondLength;
    if (taken.size() != expected) {
        return std::nullopt;
    }
    const auto firstStart = taken.begin() + PairHeaderSize;
    const auto secondStart = firstStart + header->firstLength;
    PairFileContents contents;
    contents.firstYear = header->firstYear;
    contents.secondYear = header->secondYear;
    contents.firstBytes.assign(firstStart, secondStart);
    contents.secondBytes.assign(secondStart, taken.end());
    return contents;
}
