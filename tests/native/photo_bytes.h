// Builds small photo files byte by byte for the tests: JPEG segments and Exif blocks, a
// flat grey baseline JPEG of any size, PNG and BMP files. Platform-free, so the native and
// the Windows tests make their inputs the same way.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

inline void appendBigEndian16(Bytes& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value >> 8));
    out.push_back(static_cast<std::uint8_t>(value));
}

inline void appendBigEndian32(Bytes& out, std::uint32_t value) {
    appendBigEndian16(out, value >> 16);
    appendBigEndian16(out, value & 0xFFFF);
}

inline void appendLittleEndian16(Bytes& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

inline void appendLittleEndian32(Bytes& out, std::uint32_t value) {
    appendLittleEndian16(out, value & 0xFFFF);
    appendLittleEndian16(out, value >> 16);
}

inline void appendText(Bytes& out, std::string_view text) {
    out.insert(out.end(), text.begin(), text.end());
}

// 0xFF, the marker, the big-endian length (payload + 2) and the payload.
inline Bytes jpegSegment(std::uint8_t marker, const Bytes& payload) {
    Bytes out{0xFF, marker};
    appendBigEndian16(out, static_cast<std::uint32_t>(payload.size() + 2));
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

struct ExifEntry {
    std::uint16_t tag = 0;
    std::uint16_t type = 3; // SHORT
    std::uint32_t count = 1;
    std::uint16_t value = 0; // written left-justified in the 4-byte value field
};

// "Exif\0\0" and a TIFF block whose IFD0 holds the entries, in either byte order.
inline Bytes exifPayload(const std::vector<ExifEntry>& entries, bool bigEndian) {
    Bytes out;
    appendText(out, std::string_view("Exif\0\0", 6));
    auto put16 = [&](std::uint32_t v) {
        bigEndian ? appendBigEndian16(out, v) : appendLittleEndian16(out, v);
    };
    auto put32 = [&](std::uint32_t v) {
        bigEndian ? appendBigEndian32(out, v) : appendLittleEndian32(out, v);
    };
    appendText(out, bigEndian ? "MM" : "II");
    put16(42);
    put32(8);
    put16(static_cast<std::uint32_t>(entries.size()));
    for (const ExifEntry& entry : entries) {
        put16(entry.tag);
        put16(entry.type);
        put32(entry.count);
        put16(entry.value);
        put16(0);
    }
    put32(0); // no IFD1
    return out;
}

inline Bytes orientationApp1(std::uint16_t orientation, bool bigEndian) {
    // Tags around the orientation, as cameras write them, so the search must really look.
    return jpegSegment(
        0xE1, exifPayload({{0x010F, 2, 4, 0x4341}, {0x0112, 3, 1, orientation}, {0x011A, 5, 1, 0}},
                          bigEndian));
}

// The file with segment placed right after SOI.
inline Bytes withSegmentAfterSoi(const Bytes& jpeg, const Bytes& segment) {
    Bytes out = jpeg;
    out.insert(out.begin() + 2, segment.begin(), segment.end());
    return out;
}

inline Bytes frameHeaderPayload(std::uint32_t width, std::uint32_t height) {
    Bytes payload{8};
    appendBigEndian16(payload, height);
    appendBigEndian16(payload, width);
    payload.insert(payload.end(), {1, 1, 0x11, 0});
    return payload;
}

// A valid one-component baseline JPEG whose every sample is 128. Both Huffman tables hold
// one code, "0": for DC difference 0 and for end of block, so each 8 x 8 block costs two
// bits and even 10,000 x 8,000 pixels take only 312,500 bytes of scan data.
inline Bytes flatGreyJpeg(std::uint32_t width, std::uint32_t height) {
    Bytes out{0xFF, 0xD8};
    Bytes quantization{0};
    quantization.insert(quantization.end(), 64, 1);
    auto append = [&](const Bytes& segment) {
        out.insert(out.end(), segment.begin(), segment.end());
    };
    append(jpegSegment(0xDB, quantization));
    append(jpegSegment(0xC0, frameHeaderPayload(width, height)));
    for (std::uint8_t tableClass : {std::uint8_t{0x00}, std::uint8_t{0x10}}) {
        Bytes table{tableClass, 1};
        table.insert(table.end(), 15, 0);
        table.push_back(0); // the one symbol: category 0 (DC) or end of block (AC)
        append(jpegSegment(0xC4, table));
    }
    append(jpegSegment(0xDA, {1, 1, 0x00, 0, 63, 0}));
    const std::uint64_t blocks = std::uint64_t{(width + 7) / 8} * ((height + 7) / 8);
    const std::uint64_t bits = blocks * 2;
    out.insert(out.end(), static_cast<std::size_t>(bits / 8), 0x00);
    if (bits % 8 != 0) {
        out.push_back(static_cast<std::uint8_t>(0xFF >> (bits % 8))); // padded with ones
    }
    out.insert(out.end(), {0xFF, 0xD9});
    return out;
}

inline std::uint32_t pngCrc(const Bytes& data, std::size_t from) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = from; i < data.size(); ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return crc ^ 0xFFFFFFFFu;
}

inline void appendPngChunk(Bytes& out, std::string_view type, const Bytes& data) {
    appendBigEndian32(out, static_cast<std::uint32_t>(data.size()));
    Bytes body;
    appendText(body, type);
    body.insert(body.end(), data.begin(), data.end());
    out.insert(out.end(), body.begin(), body.end());
    appendBigEndian32(out, pngCrc(body, 0));
}

// A PNG with a correct IHDR (8-bit grey) for the given size and an IDAT of a few bytes that
// holds only the first row's filter byte: a decompression bomb's shape.
inline Bytes pngWithTinyBody(std::uint32_t width, std::uint32_t height) {
    Bytes out{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    Bytes header;
    appendBigEndian32(header, width);
    appendBigEndian32(header, height);
    header.insert(header.end(), {8, 0, 0, 0, 0});
    appendPngChunk(out, "IHDR", header);
    // zlib: one stored block holding the single byte 0, then its Adler-32.
    appendPngChunk(out, "IDAT",
                   {0x78, 0x01, 0x01, 0x01, 0x00, 0xFE, 0xFF, 0x00, 0x00, 0x01, 0x00, 0x01});
    appendPngChunk(out, "IEND", {});
    return out;
}

// A 24-bit BMP with a 40-byte info header. A negative height stores the rows top down.
// Every pixel is (blue, green, red) = pixel.
inline Bytes bmpFile(std::int32_t width, std::int32_t height, std::uint8_t blue, std::uint8_t green,
                     std::uint8_t red) {
    const std::uint32_t rows = static_cast<std::uint32_t>(height < 0 ? -height : height);
    const std::uint32_t stride = (static_cast<std::uint32_t>(width) * 3 + 3) & ~3u;
    const std::uint32_t pixelBytes = stride * rows;
    Bytes out{'B', 'M'};
    appendLittleEndian32(out, 54 + pixelBytes);
    appendLittleEndian32(out, 0);
    appendLittleEndian32(out, 54);
    appendLittleEndian32(out, 40);
    appendLittleEndian32(out, static_cast<std::uint32_t>(width));
    appendLittleEndian32(out, static_cast<std::uint32_t>(height));
    appendLittleEndian16(out, 1);
    appendLittleEndian16(out, 24);
    appendLittleEndian32(out, 0); // BI_RGB
    appendLittleEndian32(out, pixelBytes);
    appendLittleEndian32(out, 2835);
    appendLittleEndian32(out, 2835);
    appendLittleEndian32(out, 0);
    appendLittleEndian32(out, 0);
    for (std::uint32_t row = 0; row < rows; ++row) {
        for (std::int32_t x = 0; x < width; ++x) {
            out.insert(out.end(), {blue, green, red});
        }
        out.insert(out.end(), stride - static_cast<std::uint32_t>(width) * 3, 0);
    }
    return out;
}
