// Reads the pixel size a JPEG, PNG or BMP file declares in its header, without decoding,
// so that a photo too large for the program is refused before any decoder allocates for it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

struct PhotoSize {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

// The size from a JPEG frame header (SOFn), a PNG IHDR chunk or a BMP info or core header;
// empty when the bytes are none of these or their header cannot be read. A BMP stored top
// down declares a negative height; its magnitude is returned.
std::optional<PhotoSize> peekPhotoSize(std::span<const std::uint8_t> bytes);

// True when a side exceeds MaxPhotoSide or the 64-bit pixel count exceeds MaxPhotoPixels.
// A zero side is not an excess; whoever decodes decides about empty images.
bool exceedsPhotoLimits(std::uint64_t width, std::uint64_t height);

// One marker segment of a JPEG file. For segments with a length field, payload is the
// offset of the bytes after it and payloadLength their count; SOS and EOI end the header
// part of the file and carry no payload here.
struct JpegSegment {
    std::uint8_t marker = 0;
    std::size_t payload = 0;
    std::size_t payloadLength = 0;
};

inline constexpr std::uint8_t JpegMarkerSos = 0xDA;
inline constexpr std::uint8_t JpegMarkerEoi = 0xD9;

// Steps through the segments of a JPEG file the way a decoder reads them: stray bytes
// before a marker are skipped, as are fill bytes 0xFF, stuffed 0xFF 0x00 pairs and the
// parameterless markers. Start with position 2 (after SOI, which the caller checks). Gives
// the next segment and moves position past it; empty when the data ends, a length is below
// 2 or a segment runs past the end. Every call advances position, so a loop ends.
std::optional<JpegSegment> nextJpegSegment(std::span<const std::uint8_t> bytes,
                                           std::size_t& position);

bool startsWithJpegSoi(std::span<const std::uint8_t> bytes);
