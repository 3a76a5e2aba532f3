// Declared-size reading of JPEG, PNG and BMP headers and the photo size limits.
#include "archive/photo_header.h"
#include "tests/native/photo_bytes.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

std::optional<PhotoSize> peek(const Bytes& bytes) {
    return peekPhotoSize(bytes);
}

void expectSize(const Bytes& bytes, std::uint32_t width, std::uint32_t height) {
    const auto size = peek(bytes);
    ASSERT_TRUE(size.has_value());
    EXPECT_EQ(size->width, width);
    EXPECT_EQ(size->height, height);
}

Bytes jpegWith(std::initializer_list<Bytes> parts) {
    Bytes out{0xFF, 0xD8};
    for (const Bytes& part : parts) {
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

} // namespace

TEST(PhotoHeaderLimits, SidesAndPixelCount) {
    EXPECT_FALSE(exceedsPhotoLimits(24000, 1));
    EXPECT_FALSE(exceedsPhotoLimits(1, 24000));
    EXPECT_FALSE(exceedsPhotoLimits(10000, 8000)); // exactly 80,000,000
    EXPECT_FALSE(exceedsPhotoLimits(0, 0));
    EXPECT_TRUE(exceedsPhotoLimits(24001, 10));
    EXPECT_TRUE(exceedsPhotoLimits(10, 24001));
    EXPECT_TRUE(exceedsPhotoLimits(24000, 3334)); // 80,016,000
    EXPECT_TRUE(exceedsPhotoLimits(8001, 10000));
    EXPECT_TRUE(exceedsPhotoLimits(UINT32_MAX, UINT32_MAX));
}

TEST(PhotoHeaderJpeg, ReadsFrameHeaderOfRealisticFile) {
    expectSize(flatGreyJpeg(640, 480), 640, 480);
    expectSize(flatGreyJpeg(10000, 8000), 10000, 8000);
    expectSize(withSegmentAfterSoi(flatGreyJpeg(33, 17), orientationApp1(6, true)), 33, 17);
}

TEST(PhotoHeaderJpeg, EveryFrameTypeButTablesAndReserved) {
    for (int marker = 0xC0; marker <= 0xCF; ++marker) {
        const Bytes file =
            jpegWith({jpegSegment(static_cast<std::uint8_t>(marker), frameHeaderPayload(300, 200)),
                      jpegSegment(0xDA, {1, 1, 0, 0, 63, 0})});
        const bool isFrame = marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        EXPECT_EQ(peek(file).has_value(), isFrame) << std::hex << marker;
    }
}

TEST(PhotoHeaderJpeg, SkipsWhatDecodersSkipBeforeTheFrame) {
    // Fill bytes, a stuffed zero, stray bytes, TEM and RST markers and an APP segment.
    const Bytes file = jpegWith({{0xFF, 0xFF, 0xFF},
                                 jpegSegment(0xE0, {'J', 'F', 'I', 'F', 0}),
                                 {0x12, 0x34, 0xFF, 0x00, 0xFF, 0x01, 0xFF, 0xD3},
                                 jpegSegment(0xDB, Bytes(65, 1)),
                                 {0xFF, 0xFF},
                                 jpegSegment(0xC2, frameHeaderPayload(24001, 10))});
    expectSize(file, 24001, 10);
}

TEST(PhotoHeaderJpeg, TakesTheFirstFrameHeader) {
    const Bytes file = jpegWith({jpegSegment(0xC0, frameHeaderPayload(60000, 60000)),
                                 jpegSegment(0xC0, frameHeaderPayload(10, 10))});
    expectSize(file, 60000, 60000);
}

TEST(PhotoHeaderJpeg, UnreadableHeadersGiveNothing) {
    const Bytes frame = jpegSegment(0xC0, frameHeaderPayload(300, 200));
    // Image data or the end before any frame header: a frame after them does not count.
    EXPECT_FALSE(peek(jpegWith({jpegSegment(0xDA, {1, 1, 0, 0, 63, 0}), frame})));
    EXPECT_FALSE(peek(jpegWith({{0xFF, 0xD9}, frame})));
    EXPECT_FALSE(peek(jpegWith({{0xFF, 0xD8}, frame}))); // second SOI
    // A length below 2, a segment running past the end, a frame header too short.
    EXPECT_FALSE(peek(jpegWith({{0xFF, 0xE0, 0x00, 0x01}, frame})));
    EXPECT_FALSE(peek(jpegWith({{0xFF, 0xE0, 0x7F, 0xFF, 0x00}, frame})));
    EXPECT_FALSE(peek(jpegWith({jpegSegment(0xC0, {8, 0, 10, 0})})));
    // Cut anywhere inside the frame header.
    const Bytes whole = jpegWith({frame});
    for (std::size_t length = 0; length < whole.size(); ++length) {
        EXPECT_FALSE(peek(Bytes(whole.begin(), whole.begin() + length))) << length;
    }
    EXPECT_TRUE(peek(whole));
    EXPECT_FALSE(peek({0xFF, 0xD8}));
    EXPECT_FALSE(peek({0xFF, 0xD8, 0xFF}));
}

TEST(PhotoHeaderJpeg, SegmentWalkReportsEveryLengthedSegment) {
    const Bytes file = withSegmentAfterSoi(flatGreyJpeg(16, 16), orientationApp1(1, false));
    std::vector<std::uint8_t> markers;
    std::size_t position = 2;
    while (auto segment = nextJpegSegment(file, position)) {
        markers.push_back(segment->marker);
        ASSERT_LE(segment->payload + segment->payloadLength, file.size());
        if (segment->marker == JpegMarkerSos) {
            break;
        }
    }
    const std::vector<std::uint8_t> expected{0xE1, 0xDB, 0xC0, 0xC4, 0xC4, 0xDA};
    EXPECT_EQ(markers, expected);
}

TEST(PhotoHeaderPng, ReadsIhdr) {
    expectSize(pngWithTinyBody(60000, 60000), 60000, 60000);
    expectSize(pngWithTinyBody(1, 24000), 1, 24000);
    expectSize(pngWithTinyBody(0xFFFFFFFFu, 2), 0xFFFFFFFFu, 2);
}

TEST(PhotoHeaderPng, RefusesToGuess) {
    const Bytes good = pngWithTinyBody(640, 480);
    EXPECT_FALSE(peek(Bytes(good.begin(), good.begin() + 23)));
    Bytes otherChunk = good;
    otherChunk[12] = 'g';
    EXPECT_FALSE(peek(otherChunk));
    Bytes badSignature = good;
    badSignature[4] = 0x0A;
    EXPECT_FALSE(peek(badSignature));
}

TEST(PhotoHeaderBmp, InfoAndCoreHeaders) {
    expectSize(bmpFile(7, 5, 0, 0, 0), 7, 5);
    expectSize(bmpFile(7, -5, 0, 0, 0), 7, 5); // top down
    Bytes core{'B', 'M'};
    appendLittleEndian32(core, 26);
    appendLittleEndian32(core, 0);
    appendLittleEndian32(core, 26);
    appendLittleEndian32(core, 12);
    appendLittleEndian16(core, 60000);
    appendLittleEndian16(core, 3);
    expectSize(core, 60000, 3);
}

TEST(PhotoHeaderBmp, ExtremeSignedSides) {
    Bytes file = bmpFile(1, 1, 0, 0, 0);
    auto setSides = [&](std::uint32_t width, std::uint32_t height) {
        for (int i = 0; i < 4; ++i) {
            file[18 + i] = static_cast<std::uint8_t>(width >> (8 * i));
            file[22 + i] = static_cast<std::uint8_t>(height >> (8 * i));
        }
    };
    setSides(100, static_cast<std::uint32_t>(INT_MIN));
    expectSize(file, 100, 0x80000000u);
    setSides(static_cast<std::uint32_t>(-60000), 2);
    expectSize(file, 60000, 2);
    setSides(0xFFFFFFFFu, 0xFFFFFFFFu); // -1, -1
    expectSize(file, 1, 1);
}

TEST(PhotoHeaderBmp, UnknownOrCutHeaders) {
    const Bytes good = bmpFile(7, 5, 0, 0, 0);
    EXPECT_FALSE(peek(Bytes(good.begin(), good.begin() + 25)));
    for (std::uint32_t headerSize : {0u, 11u, 13u, 15u}) {
        Bytes file = good;
        file[14] = static_cast<std::uint8_t>(headerSize);
        EXPECT_FALSE(peek(file)) << headerSize;
    }
    EXPECT_FALSE(peek({'B', 'M'}));
}

TEST(PhotoHeaderOther, GifTiffAndNoiseGiveNothing) {
    EXPECT_FALSE(peek({}));
    EXPECT_FALSE(peek({'G', 'I', 'F', '8', '9', 'a', 0x10, 0x00, 0x10, 0x00}));
    EXPECT_FALSE(peek({'I', 'I', 42, 0, 8, 0, 0, 0}));
    EXPECT_FALSE(peek(Bytes(100, 0xFF)));
    EXPECT_FALSE(peek(Bytes(100, 0x89)));
}
