// Builds small photo files byte by byte for the native and Windows tests: JPEG segments and
// Exif blocks, a flat grey baseline JPEG of any size, PNG headers and BMP files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// The low `count` bytes of value in the given byte order.
inline void put(Bytes& out, std::uint32_t value, int count, bool bigEndian) {
    for (int i = 0; i < count; ++i) {
        out.push_back(static_cast<std::uint8_t>(value >> (8 * (bigEndian ? count - 1 - i : i))));
    }
}

// A file from tests/data (tools/make_test_photos.py); empty when missing.
inline Bytes readTestFile(const std::string& name) {
    std::ifstream in(DRIFTPANE_SOURCE_DIR "/tests/data/" + name, std::ios::binary);
    return Bytes{std::istreambuf_iterator<char>(in), {}};
}

inline Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts) {
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

inline Bytes jpegSegment(std::uint8_t marker, const Bytes& payload) {
    Bytes out{0xFF, marker};
    put(out, static_cast<std::uint32_t>(payload.size() + 2), 2, true);
    return concat({out, payload});
}

struct ExifEntry {
    std::uint16_t tag = 0;
    std::uint16_t type = 3; // SHORT
    std::uint32_t count = 1;
    std::uint16_t value = 0; // left-justified in the 4-byte value field
};

// "Exif\0\0" and a TIFF block whose IFD0 holds the entries.
inline Bytes exifPayload(const std::vector<ExifEntry>& entries, bool bigEndian) {
    const std::uint8_t order = bigEndian ? 'M' : 'I';
    Bytes out{'E', 'x', 'i', 'f', 0, 0, order, order};
    put(out, 42, 2, bigEndian);
    put(out, 8, 4, bigEndian);
    put(out, static_cast<std::uint32_t>(entries.size()), 2, bigEndian);
    for (const ExifEntry& entry : entries) {
        put(out, entry.tag, 2, bigEndian);
        put(out, entry.type, 2, bigEndian);
        put(out, entry.count, 4, bigEndian);
        put(out, entry.value, 2, bigEndian);
        put(out, 0, 2, bigEndian);
    }
    put(out, 0, 4, bigEndian); // no IFD1
    return out;
}

// Tags around the orientation, as cameras write them, so a reader must really search.
inline Bytes orientationApp1(std::uint16_t orientation, bool bigEndian) {
    return jpegSegment(
        0xE1, exifPayload({{0x010F, 2, 4, 0x4341}, {0x0112, 3, 1, orientation}, {0x011A, 5, 1, 0}},
                          bigEndian));
}

inline Bytes withSegmentAfterSoi(Bytes jpeg, const Bytes& segment) {
    if (jpeg.size() < 2) {
        return jpeg; // no SOI to follow: a failed encode stays as it came
    }
    jpeg.insert(jpeg.begin() + 2, segment.begin(), segment.end());
    return jpeg;
}

inline Bytes frameHeaderPayload(std::uint32_t width, std::uint32_t height) {
    Bytes payload{8};
    put(payload, height, 2, true);
    put(payload, width, 2, true);
    return concat({payload, {1, 1, 0x11, 0}});
}

// A valid one-component baseline JPEG whose every sample is 128. Both Huffman tables hold
// one code, "0", for DC difference 0 and for end of block, so each 8 x 8 block costs two
// bits and even 10,000 x 8,000 pixels take only 312,500 bytes of scan data. The frame
// header's size field sits at offset 76.
inline Bytes flatGreyJpeg(std::uint32_t width, std::uint32_t height) {
    Bytes quantization(65, 1);
    quantization[0] = 0;
    Bytes huffman(18, 0);
    huffman[1] = 1; // one code of length 1; its symbol, 0, is the last byte
    Bytes acHuffman = huffman;
    acHuffman[0] = 0x10;
    Bytes out = concat({{0xFF, 0xD8},
                        jpegSegment(0xDB, quantization),
                        jpegSegment(0xC0, frameHeaderPayload(width, height)),
                        jpegSegment(0xC4, huffman),
                        jpegSegment(0xC4, acHuffman),
                        jpegSegment(0xDA, {1, 1, 0x00, 0, 63, 0})});
    const std::uint64_t bits = std::uint64_t{(width + 7) / 8} * ((height + 7) / 8) * 2;
    out.insert(out.end(), static_cast<std::size_t>(bits / 8), 0x00);
    if (bits % 8 != 0) {
        out.push_back(static_cast<std::uint8_t>(0xFF >> (bits % 8))); // padded with ones
    }
    return concat({out, {0xFF, 0xD9}});
}

inline void appendPngChunk(Bytes& out, const char (&type)[5], const Bytes& data) {
    const Bytes body = concat({Bytes(type, type + 4), data});
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::uint8_t value : body) {
        crc ^= value;
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    put(out, static_cast<std::uint32_t>(data.size()), 4, true);
    out.insert(out.end(), body.begin(), body.end());
    put(out, crc ^ 0xFFFFFFFFu, 4, true);
}

// A PNG with a correct 8-bit grey IHDR for the size and an IDAT of a few bytes holding only
// the first row's filter byte: a decompression bomb's shape.
inline Bytes pngWithTinyBody(std::uint32_t width, std::uint32_t height) {
    Bytes out{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    Bytes header;
    put(header, width, 4, true);
    put(header, height, 4, true);
    appendPngChunk(out, "IHDR", concat({header, {8, 0, 0, 0, 0}}));
    appendPngChunk(out, "IDAT", {0x78, 0x01, 0x01, 0x01, 0x00, 0xFE, 0xFF, 0, 0, 0x01, 0, 0x01});
    appendPngChunk(out, "IEND", {});
    return out;
}

// A 24-bit BMP with a 40-byte info header, every pixel (blue, green, red). A negative height
// stores the rows top down. Width and height sit at offsets 18 and 22.
inline Bytes bmpFile(std::int32_t width, std::int32_t height, std::uint8_t blue = 0,
                     std::uint8_t green = 0, std::uint8_t red = 0) {
    const std::uint32_t rows = static_cast<std::uint32_t>(height < 0 ? -height : height);
    const std::uint32_t stride = (static_cast<std::uint32_t>(width) * 3 + 3) & ~3u;
    Bytes out{'B', 'M'};
    for (std::uint32_t field : {54 + stride * rows, 0u, 54u, 40u, static_cast<std::uint32_t>(width),
                                static_cast<std::uint32_t>(height)}) {
        put(out, field, 4, false);
    }
    put(out, 1, 2, false);
    put(out, 24, 2, false);
    for (std::uint32_t field : {0u, stride * rows, 2835u, 2835u, 0u, 0u}) {
        put(out, field, 4, false);
    }
    Bytes row(stride, 0);
    for (std::int32_t x = 0; x < width; ++x) {
        row[3 * x] = blue;
        row[3 * x + 1] = green;
        row[3 * x + 2] = red;
    }
    for (std::uint32_t y = 0; y < rows; ++y) {
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}
