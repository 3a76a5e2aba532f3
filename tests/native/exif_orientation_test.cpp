// Reading the EXIF orientation from JPEG files of both byte orders, malformed blocks and a
// file written by exiftool.
#include "archive/exif_orientation.h"
#include "tests/native/photo_bytes.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

const Bytes plainJpeg = flatGreyJpeg(16, 8);

std::uint16_t orientationOf(const Bytes& app1) {
    return jpegExifOrientation(withSegmentAfterSoi(plainJpeg, app1));
}

Bytes app1With(const std::vector<ExifEntry>& entries, bool bigEndian) {
    return jpegSegment(0xE1, exifPayload(entries, bigEndian));
}

} // namespace

TEST(ExifOrientation, EveryValueInBothByteOrders) {
    for (bool bigEndian : {false, true}) {
        for (std::uint16_t value : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0x0600, 0xFFFF}) {
            EXPECT_EQ(orientationOf(orientationApp1(value, bigEndian)), value)
                << "big endian " << bigEndian;
        }
    }
}

TEST(ExifOrientation, AbsentGivesZero) {
    EXPECT_EQ(jpegExifOrientation(plainJpeg), 0);
    EXPECT_EQ(orientationOf(app1With({{0x010F, 2, 4, 0x4341}}, false)), 0);
    EXPECT_EQ(orientationOf(app1With({}, true)), 0);
    EXPECT_EQ(jpegExifOrientation({}), 0);
    EXPECT_EQ(jpegExifOrientation(pngWithTinyBody(4, 4)), 0);
}

TEST(ExifOrientation, OnlyShortWithACount) {
    EXPECT_EQ(orientationOf(app1With({{0x0112, 1, 1, 6}}, false)), 0); // BYTE
    EXPECT_EQ(orientationOf(app1With({{0x0112, 4, 1, 6}}, true)), 0);  // LONG
    EXPECT_EQ(orientationOf(app1With({{0x0112, 3, 0, 6}}, false)), 0);
    EXPECT_EQ(orientationOf(app1With({{0x0112, 3, 2, 6}}, true)), 6);
}

TEST(ExifOrientation, FindsExifAmongOtherSegments) {
    Bytes xmp;
    appendText(xmp, "http://ns.adobe.com/xap/1.0/");
    xmp.push_back(0);
    const Bytes file = withSegmentAfterSoi(
        withSegmentAfterSoi(withSegmentAfterSoi(plainJpeg, orientationApp1(8, true)),
                            jpegSegment(0xE1, xmp)),
        jpegSegment(0xE0, {'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0}));
    EXPECT_EQ(jpegExifOrientation(file), 8);
}

TEST(ExifOrientation, FirstExifBlockDecides) {
    const Bytes file =
        withSegmentAfterSoi(withSegmentAfterSoi(plainJpeg, orientationApp1(3, false)),
                            app1With({{0x010F, 2, 4, 0x4341}}, false));
    EXPECT_EQ(jpegExifOrientation(file), 0);
}

TEST(ExifOrientation, ExifAfterImageDataIsIgnored) {
    Bytes file = plainJpeg;
    file.resize(file.size() - 2); // drop EOI, keep the scan
    const Bytes app1 = orientationApp1(6, false);
    file.insert(file.end(), app1.begin(), app1.end());
    EXPECT_EQ(jpegExifOrientation(file), 0);
}

TEST(ExifOrientation, MalformedBlocksGiveZeroWithoutReadingOutside) {
    // Each case keeps the block inside its segment and breaks one field.
    const Bytes payload = exifPayload({{0x0112, 3, 1, 6}}, false);
    auto withPayload = [&](const Bytes& broken) {
        return orientationOf(jpegSegment(0xE1, broken));
    };
    ASSERT_EQ(withPayload(payload), 6);

    Bytes badOrder = payload;
    badOrder[6] = 'I';
    badOrder[7] = 'M';
    EXPECT_EQ(withPayload(badOrder), 0);
    Bytes badMagic = payload;
    badMagic[8] = 43;
    EXPECT_EQ(withPayload(badMagic), 0);
    Bytes badId = payload;
    badId[4] = 'X';
    EXPECT_EQ(withPayload(badId), 0);

    for (std::uint32_t offset : {0xFFFFFFFFu, 0x80000000u, 26u, 25u}) {
        Bytes farIfd = payload;
        for (int i = 0; i < 4; ++i) {
            farIfd[10 + i] = static_cast<std::uint8_t>(offset >> (8 * i));
        }
        EXPECT_EQ(withPayload(farIfd), 0) << offset;
    }
    // An entry count far larger than the block: only the entry that is there is read.
    Bytes manyEntries = payload;
    manyEntries[14] = 0xFF;
    manyEntries[15] = 0xFF;
    EXPECT_EQ(withPayload(manyEntries), 6);
    // Cut inside the entry: the tag is no longer whole, so it is not there.
    for (std::size_t length = 0; length < 16 + 12; ++length) {
        EXPECT_EQ(withPayload(Bytes(payload.begin(), payload.begin() + length)), 0) << length;
    }
}

TEST(ExifOrientation, SegmentPastTheEndOfTheFile) {
    Bytes file = withSegmentAfterSoi(plainJpeg, orientationApp1(6, false));
    file.resize(2 + 20); // the APP1 length now runs past the end
    EXPECT_EQ(jpegExifOrientation(file), 0);
}

TEST(ExifOrientation, FileWrittenByExiftool) {
    // tools/make_test_photos.py: a small JPEG from PIL, orientation set by exiftool.
    std::ifstream in(DRIFTPANE_SOURCE_DIR "/tests/data/orientation6_exiftool.jpg",
                     std::ios::binary);
    ASSERT_TRUE(in);
    const Bytes file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_EQ(jpegExifOrientation(file), 6);
}
