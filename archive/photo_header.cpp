// Reads the declared pixel size of JPEG, PNG and BMP files and walks JPEG marker segments;
// every read is checked against the end of the data.
#include "archive/photo_header.h"

#include "archive/photo_limits.h"

namespace {

constexpr std::uint8_t PngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

std::uint32_t readBigEndian16(std::span<const std::uint8_t> bytes, std::size_t at) {
    return (std::uint32_t{bytes[at]} << 8) | bytes[at + 1];
}

std::uint32_t readBigEndian32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return (std::uint32_t{bytes[at]} << 24) | (std::uint32_t{bytes[at + 1]} << 16) |
           (std::uint32_t{bytes[at + 2]} << 8) | bytes[at + 3];
}

std::uint32_t readLittleEndian16(std::span<const std::uint8_t> bytes, std::size_t at) {
    return std::uint32_t{bytes[at]} | (std::uint32_t{bytes[at + 1]} << 8);
}

std::uint32_t readLittleEndian32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return std::uint32_t{bytes[at]} | (std::uint32_t{bytes[at + 1]} << 8) |
           (std::uint32_t{bytes[at + 2]} << 16) | (std::uint32_t{bytes[at + 3]} << 24);
}

// Magnitude of a signed 32-bit header field, computed unsigned so that INT32_MIN gives
// 2^31 instead of overflowing.
std::uint32_t magnitude(std::uint32_t twosComplement) {
    return (twosComplement & 0x80000000u) ? 0u - twosComplement : twosComplement;
}

bool isFrameHeader(std::uint8_t marker) {
    // C4 (Huffman tables), C8 (reserved) and CC (arithmetic conditioning) share the range
    // of the frame markers but declare no size.
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

std::optional<PhotoSize> peekJpegSize(std::span<const std::uint8_t> bytes) {
    std::size_t position = 2;
    while (auto segment = nextJpegSegment(bytes, position)) {
        if (segment->marker == JpegMarkerSos || segment->marker == JpegMarkerEoi) {
            return std::nullopt;
        }
        if (isFrameHeader(segment->marker)) {
            // Precision, then height, then width.
            if (segment->payloadLength < 5) {
                return std::nullopt;
            }
            return PhotoSize{readBigEndian16(bytes, segment->payload + 3),
                             readBigEndian16(bytes, segment->payload + 1)};
        }
    }
    return std::nullopt;
}

std::optional<PhotoSize> peekPngSize(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 24) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < 8; ++i) {
        if (bytes[i] != PngSignature[i]) {
            return std::nullopt;
        }
    }
    // A PNG decoder insists that IHDR comes first, so no other chunk needs reading.
    if (bytes[12] != 'I' || bytes[13] != 'H' || bytes[14] != 'D' || bytes[15] != 'R') {
        return std::nullopt;
    }
    return PhotoSize{readBigEndian32(bytes, 16), readBigEndian32(bytes, 20)};
}

std::optional<PhotoSize> peekBmpSize(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 18 || bytes[0] != 'B' || bytes[1] != 'M') {
        return std::nullopt;
    }
    const std::uint32_t headerSize = readLittleEndian32(bytes, 14);
    if (headerSize == 12) {
        // BITMAPCOREHEADER: unsigned 16-bit sides.
        if (bytes.size() < 22) {
            return std::nullopt;
        }
        return PhotoSize{readLittleEndian16(bytes, 18), readLittleEndian16(bytes, 20)};
    }
    // BITMAPINFOHEADER and its longer versions, and the OS/2 2.x headers of 16 to 64
    // bytes, all keep signed 32-bit sides at the same place. A width is never negative in a
    // valid file; its magnitude is taken anyway, as a decoder that accepted it would.
    if (headerSize >= 16 && bytes.size() >= 26) {
        return PhotoSize{magnitude(readLittleEndian32(bytes, 18)),
                         magnitude(readLittleEndian32(bytes, 22))};
    }
    return std::nullopt;
}

} // namespace

bool startsWithJpegSoi(std::span<const std::uint8_t> bytes) {
    return bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xD8;
}

std::optional<JpegSegment> nextJpegSegment(std::span<const std::uint8_t> bytes,
                                           std::size_t& position) {
    const std::size_t size = bytes.size();
    while (position < size) {
        // A decoder resynchronises on the next 0xFF, so stray bytes cannot hide a frame
        // header from this walk that the decoder would still find.
        while (position < size && bytes[position] != 0xFF) {
            ++position;
        }
        while (position < size && bytes[position] == 0xFF) {
            ++position;
        }
        if (position >= size) {
            break;
        }
        const std::uint8_t marker = bytes[position++];
        if (marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            continue; // stuffed zero, TEM or RSTn: no length field
        }
        if (marker == 0xD8) {
            break; // a second SOI: decoders give up
        }
        if (marker == JpegMarkerSos || marker == JpegMarkerEoi) {
            return JpegSegment{marker, position, 0};
        }
        if (size - position < 2) {
            break;
        }
        const std::size_t length = readBigEndian16(bytes, position);
        if (length < 2 || size - position < length) {
            break;
        }
        JpegSegment segment{marker, position + 2, length - 2};
        position += length;
        return segment;
    }
    position = size;
    return std::nullopt;
}

std::optional<PhotoSize> peekPhotoSize(std::span<const std::uint8_t> bytes) {
    if (startsWithJpegSoi(bytes)) {
        return peekJpegSize(bytes);
    }
    if (!bytes.empty() && bytes[0] == 0x89) {
        return peekPngSize(bytes);
    }
    return peekBmpSize(bytes);
}

bool exceedsPhotoLimits(std::uint64_t width, std::uint64_t height) {
    if (width > MaxPhotoSide || height > MaxPhotoSide) {
        return true;
    }
    return width * height > MaxPhotoPixels;
}
