// Declared-size reading of JPEG, PNG and BMP headers and the photo size limits.
#include "archive/photo_header.h"
#include "tests/native/photo_bytes.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>
#include <tuple>

namespace {

Bytes jpegWith(std::initializer_list<Bytes> parts) {
    return concat({{0xFF, 0xD8}, concat(parts)});
}

Bytes bmpWithSides(std::uint32_t width, std::uint32_t height) {
    Bytes file = bmpFile(1, 1);
    for (int i = 0; i < 4; ++i) {
        file[18 + i] = static_cast<std::uint8_t>(width >> (8 * i));
        file[22 + i] = static_cast<std::uint8_t>(height >> (8 * i));
    }
    return file;
}

Bytes cut(const Bytes& file, std::size_t length) {
    return Bytes(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(length));
}

Bytes patched(Bytes file, std::size_t at, std::uint8_t value) {
    file[at] = value;
    return file;
}

const Bytes Frame = jpegSegment(0xC0, frameHeaderPayload(300, 200));

} // namespace

TEST(PhotoHeader, LimitsOnSidesAndPixelCount) {
    // 10,000 x 8,000 is exactly 80,000,000 pixels; 24,000 x 3,334 is 80,016,000.
    const std::tuple<std::uint32_t, std::uint32_t, bool> cases[] = {
        {24000, 1, false}, {1, 24000, false}, {10000, 8000, false}, {0, 0, false},
        {24001, 10, true}, {10, 24001, true}, {24000, 3334, true},  {UINT32_MAX, UINT32_MAX, true}};
    for (const auto& [width, height, over] : cases) {
        EXPECT_EQ(exceedsPhotoLimits(width, height), over) << width << " x " << height;
    }
}

TEST(PhotoHeader, DeclaredSizes) {
    struct Case {
        const char* name;
        Bytes file;
        std::optional<std::pair<std::uint32_t, std::uint32_t>> size;
    };
    Bytes bmpCore{'B', 'M'};
    for (std::uint32_t field : {26u, 0u, 26u, 12u}) {
        put(bmpCore, field, 4, false);
    }
    put(bmpCore, 60000, 2, false);
    put(bmpCore, 3, 2, false);
    const Bytes png = pngWithTinyBody(640, 480);
    const std::vector<Case> cases = {
        {"grey JPEG", flatGreyJpeg(10000, 8000), {{10000, 8000}}},
        {"JPEG with Exif",
         withSegmentAfterSoi(flatGreyJpeg(33, 17), orientationApp1(6, true)),
         {{33, 17}}},
        // Fill bytes, a stuffed zero, stray bytes, RST and TEM markers, APP and DQT segments.
        {"JPEG noise before frame",
         jpegWith({{0xFF, 0xFF, 0xFF},
                   jpegSegment(0xE0, {'J', 'F', 'I', 'F', 0}),
                   {0x12, 0x34, 0xFF, 0x00, 0xFF, 0x01, 0xFF, 0xD3},
                   jpegSegment(0xDB, Bytes(65, 1)),
                   {0xFF, 0xFF},
                   jpegSegment(0xC2, frameHeaderPayload(24001, 10))}),
         {{24001, 10}}},
        {"first frame wins",
         jpegWith({jpegSegment(0xC0, frameHeaderPayload(60000, 60000)), Frame}),
         {{60000, 60000}}},
        {"JPEG scan before frame", jpegWith({jpegSegment(0xDA, {1, 1, 0, 0, 63, 0}), Frame}), {}},
        {"JPEG EOI before frame", jpegWith({{0xFF, 0xD9}, Frame}), {}},
        {"JPEG second SOI", jpegWith({{0xFF, 0xD8}, Frame}), {}},
        {"JPEG length below 2", jpegWith({{0xFF, 0xE0, 0x00, 0x01}, Frame}), {}},
        {"JPEG segment past end", jpegWith({{0xFF, 0xE0, 0x7F, 0xFF, 0x00}, Frame}), {}},
        {"JPEG short frame", jpegWith({jpegSegment(0xC0, {8, 0, 10, 0})}), {}},
        {"PNG bomb", pngWithTinyBody(60000, 60000), {{60000, 60000}}},
        {"PNG full width", pngWithTinyBody(0xFFFFFFFFu, 2), {{0xFFFFFFFFu, 2}}},
        {"PNG cut IHDR", cut(png, 23), {}},
        {"PNG other first chunk", patched(png, 12, 'g'), {}},
        {"PNG bad signature", patched(png, 4, 0x0A), {}},
        {"BMP top down", bmpFile(7, -5), {{7, 5}}},
        {"BMP core header", bmpCore, {{60000, 3}}},
        {"BMP INT_MIN height",
         bmpWithSides(100, static_cast<std::uint32_t>(INT_MIN)),
         {{100, 0x80000000u}}},
        {"BMP negative width", bmpWithSides(static_cast<std::uint32_t>(-60000), 2), {{60000, 2}}},
        {"BMP -1 x -1", bmpWithSides(0xFFFFFFFFu, 0xFFFFFFFFu), {{1, 1}}},
        {"BMP cut", cut(bmpFile(7, 5), 25), {}},
        {"BMP signature only", {'B', 'M'}, {}},
        {"GIF", {'G', 'I', 'F', '8', '9', 'a', 0x10, 0x00, 0x10, 0x00}, {}},
        {"TIFF", {'I', 'I', 42, 0, 8, 0, 0, 0}, {}},
        {"empty", {}, {}},
        {"0xFF noise", Bytes(100, 0xFF), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto size = peekPhotoSize(c.file);
        ASSERT_EQ(size.has_value(), c.size.has_value());
        if (size) {
            EXPECT_EQ(std::make_pair(size->width, size->height), *c.size);
        }
    }
    // Frame types are C0-CF except DHT (C4), JPG (C8) and DAC (CC).
    for (int marker = 0xC0; marker <= 0xCF; ++marker) {
        const Bytes file = jpegWith(
            {jpegSegment(static_cast<std::uint8_t>(marker), frameHeaderPayload(300, 200))});
        EXPECT_EQ(peekPhotoSize(file).has_value(),
                  marker != 0xC4 && marker != 0xC8 && marker != 0xCC)
            << std::hex << marker;
    }
    for (std::uint8_t headerSize : {0, 11, 13, 15}) {
        EXPECT_FALSE(peekPhotoSize(patched(bmpFile(7, 5), 14, headerSize))) << int{headerSize};
    }
    // OS/2 2.x headers (16 to 64 bytes) and the Windows ones (40, 52, 56, 108, 124) keep the
    // sides where BITMAPINFOHEADER has them; a decoder accepts them, so the peek must too.
    for (std::uint8_t headerSize : {16, 24, 39, 40, 64, 124}) {
        const auto size = peekPhotoSize(patched(bmpFile(7, 5), 14, headerSize));
        ASSERT_TRUE(size) << int{headerSize};
        EXPECT_EQ(std::make_pair(size->width, size->height), std::make_pair(7u, 5u));
    }
    const Bytes whole = jpegWith({Frame});
    for (std::size_t length = 0; length < whole.size(); ++length) {
        EXPECT_FALSE(peekPhotoSize(cut(whole, length))) << length;
    }
}

TEST(PhotoHeader, SegmentWalkReportsEveryLengthedSegment) {
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
    EXPECT_EQ(markers, (std::vector<std::uint8_t>{0xE1, 0xDB, 0xC0, 0xC4, 0xC4, 0xDA}));
}
