// Reads the EXIF orientation straight from a JPEG file, for decoders (Wine's GDI+) that do
// not report it as an image property.
#pragma once

#include <cstdint>
#include <span>

// The value of tag 0x0112 (type SHORT) in IFD0 of the first "Exif\0\0" APP1 segment before
// the image data, in the byte order the TIFF header names; 0 when the bytes are not a JPEG,
// carry no such tag or the block is malformed. The value is returned as stored, so callers
// decide what 0 or 9 and above mean.
std::uint16_t jpegExifOrientation(std::span<const std::uint8_t> bytes);
