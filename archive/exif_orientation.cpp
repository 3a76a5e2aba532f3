// Finds the orientation tag in a JPEG file's Exif block. The block comes from the file, so
// every offset in it is checked against the segment it sits in.
#include "archive/exif_orientation.h"

#include "archive/photo_header.h"

#include <cstddef>

namespace {

constexpr std::uint16_t OrientationTag = 0x0112;
constexpr std::uint16_t TiffTypeShort = 3;
constexpr std::size_t IfdEntrySize = 12;
constexpr std::uint8_t ExifId[6] = {'E', 'x', 'i', 'f', 0, 0};

struct TiffReader {
    std::span<const std::uint8_t> block;
    bool bigEndian = false;

    std::uint16_t read16(std::size_t at) const {
        const std::uint16_t first = block[at];
        const std::uint16_t second = block[at + 1];
        return static_cast<std::uint16_t>(bigEndian ? (first << 8) | second
                                                    : first | (second << 8));
    }

    std::uint32_t read32(std::size_t at) const {
        const std::uint32_t high = bigEndian ? read16(at) : read16(at + 2);
        const std::uint32_t low = bigEndian ? read16(at + 2) : read16(at);
        return (high << 16) | low;
    }
};

std::uint16_t tiffOrientation(std::span<const std::uint8_t> block) {
    if (block.size() < 8) {
        return 0;
    }
    TiffReader tiff{block, false};
    if (block[0] == 'M' && block[1] == 'M') {
        tiff.bigEndian = true;
    } else if (block[0] != 'I' || block[1] != 'I') {
        return 0;
    }
    if (tiff.read16(2) != 42) {
        return 0;
    }
    const std::uint32_t ifdOffset = tiff.read32(4);
    if (ifdOffset > block.size() || block.size() - ifdOffset < 2) {
        return 0;
    }
    const std::size_t entryCount = tiff.read16(ifdOffset);
    const std::size_t firstEntry = ifdOffset + std::size_t{2};
    // A count larger than the block holds is cut to the entries that are really there.
    const std::size_t entriesInBlock = (block.size() - firstEntry) / IfdEntrySize;
    const std::size_t entries = entryCount < entriesInBlock ? entryCount : entriesInBlock;
    for (std::size_t i = 0; i < entries; ++i) {
        const std::size_t entry = firstEntry + i * IfdEntrySize;
        if (tiff.read16(entry) != OrientationTag) {
            continue;
        }
        // A SHORT with count 1 sits left-justified in the 4-byte value field.
        if (tiff.read16(entry + 2) != TiffTypeShort || tiff.read32(entry + 4) < 1) {
            return 0;
        }
        return tiff.read16(entry + 8);
    }
    return 0;
}

bool isExifPayload(std::span<const std::uint8_t> payload) {
    if (payload.size() < sizeof ExifId) {
        return false;
    }
    for (std::size_t i = 0; i < sizeof ExifId; ++i) {
        if (payload[i] != ExifId[i]) {
            return false;
        }
    }
    return true;
}

} // namespace

std::uint16_t jpegExifOrientation(std::span<const std::uint8_t> bytes) {
    constexpr std::uint8_t App1 = 0xE1;
    if (!startsWithJpegSoi(bytes)) {
        return 0;
    }
    std::size_t position = 2;
    while (auto segment = nextJpegSegment(bytes, position)) {
        if (segment->marker == JpegMarkerSos || segment->marker == JpegMarkerEoi) {
            return 0;
        }
        if (segment->marker != App1) {
            continue;
        }
        const auto payload = bytes.subspan(segment->payload, segment->payloadLength);
        // Other APP1 segments (XMP) are passed over; the first Exif block decides.
        if (isExifPayload(payload)) {
            return tiffOrientation(payload.subspan(6));
        }
    }
    return 0;
}
