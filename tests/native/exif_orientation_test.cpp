// Reading the EXIF orientation from JPEG files of both byte orders, malformed blocks and a
// file written by exiftool.
#include "archive/exif_orientation.h"
#include "tests/native/photo_bytes.h"

#include <gtest/gtest.h>

namespace {

const Bytes PlainJpeg = flatGreyJpeg(16, 8);

std::uint16_t orientationWith(const Bytes& app1Payload) {
    return jpegExifOrientation(withSegmentAfterSoi(PlainJpeg, jpegSegment(0xE1, app1Payload)));
}

} // namespace

TEST(ExifOrientation, ValuesAsStoredInBothByteOrders) {
    for (bool bigEndian : {false, true}) {
        for (std::uint16_t value : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0x0600, 0xFFFF}) {
            EXPECT_EQ(jpegExifOrientation(
                          withSegmentAfterSoi(PlainJpeg, orientationApp1(value, bigEndian))),
                      value)
                << "big endian " << bigEndian;
        }
    }
    // Only a SHORT with a count counts.
    EXPECT_EQ(orientationWith(exifPayload({{0x0112, 1, 1, 6}}, false)), 0);
    EXPECT_EQ(orientationWith(exifPayload({{0x0112, 4, 1, 6}}, true)), 0);
    EXPECT_EQ(orientationWith(exifPayload({{0x0112, 3, 0, 6}}, false)), 0);
    EXPECT_EQ(orientationWith(exifPayload({{0x0112, 3, 2, 6}}, true)), 6);
}

TEST(ExifOrientation, WhichSegmentDecides) {
    const Bytes jfif = jpegSegment(0xE0, {'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0});
    const Bytes xmp = concat({Bytes(28, 'x'), {0}}); // an APP1 that is not Exif
    const Bytes cameraOnly = jpegSegment(0xE1, exifPayload({{0x010F, 2, 4, 0x4341}}, false));
    Bytes afterScan = PlainJpeg;
    afterScan.resize(afterScan.size() - 2); // drop EOI, keep the scan
    Bytes pastEnd = withSegmentAfterSoi(PlainJpeg, orientationApp1(6, false));
    pastEnd.resize(2 + 20);

    EXPECT_EQ(jpegExifOrientation(concat({{0xFF, 0xD8},
                                          jfif,
                                          jpegSegment(0xE1, xmp),
                                          orientationApp1(8, true),
                                          Bytes(PlainJpeg.begin() + 2, PlainJpeg.end())})),
              8);
    EXPECT_EQ(jpegExifOrientation(concat({{0xFF, 0xD8},
                                          cameraOnly,
                                          orientationApp1(3, false),
                                          Bytes(PlainJpeg.begin() + 2, PlainJpeg.end())})),
              0)
        << "the first Exif block decides";
    EXPECT_EQ(jpegExifOrientation(concat({afterScan, orientationApp1(6, false)})), 0);
    EXPECT_EQ(jpegExifOrientation(pastEnd), 0);
    EXPECT_EQ(jpegExifOrientation(PlainJpeg), 0);
    EXPECT_EQ(orientationWith(exifPayload({}, true)), 0);
    EXPECT_EQ(jpegExifOrientation({}), 0);
    EXPECT_EQ(jpegExifOrientation(pngWithTinyBody(4, 4)), 0);
}

TEST(ExifOrientation, MalformedBlocksGiveZeroWithoutReadingOutside) {
    const Bytes payload = exifPayload({{0x0112, 3, 1, 6}}, false);
    ASSERT_EQ(orientationWith(payload), 6);
    auto patched = [&](std::size_t at, std::initializer_list<std::uint8_t> values) {
        Bytes out = payload;
        std::copy(values.begin(), values.end(), out.begin() + static_cast<std::ptrdiff_t>(at));
        return orientationWith(out);
    };
    EXPECT_EQ(patched(6, {'I', 'M'}), 0);                // byte order
    EXPECT_EQ(patched(8, {43}), 0);                      // TIFF magic
    EXPECT_EQ(patched(4, {'X'}), 0);                     // "Exif\0\0"
    EXPECT_EQ(patched(10, {0xFF, 0xFF, 0xFF, 0xFF}), 0); // IFD offsets far outside
    EXPECT_EQ(patched(10, {0, 0, 0, 0x80}), 0);
    for (std::uint8_t offset : {25, 26}) { // IFD offsets just too far for one entry
        EXPECT_EQ(patched(10, {offset, 0, 0, 0}), 0) << int{offset};
    }
    // An entry count far beyond the block: only the entry that is there is read.
    EXPECT_EQ(patched(14, {0xFF, 0xFF}), 6);
    for (std::size_t length = 0; length < 16 + 12; ++length) {
        EXPECT_EQ(orientationWith(Bytes(payload.begin(), payload.begin() + length)), 0) << length;
    }
}

TEST(ExifOrientation, FileWrittenByExiftool) {
    // A small JPEG from PIL, orientation set by exiftool.
    EXPECT_EQ(jpegExifOrientation(readTestFile("orientation6_exiftool.jpg")), 6);
}
