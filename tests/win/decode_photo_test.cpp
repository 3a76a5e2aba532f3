// Decoding photos through GDI+: accepted and refused formats, the byte, side and pixel
// limits, oversized headers refused before GDI+, and EXIF orientation turned upright.
#include "archive/image_data.h"
#include "archive/photo_limits.h"
#include "tests/native/photo_bytes.h"
#include "tests/win/import_hook.h"
#include "tests/win/upright_picture.h"
#include "tests/win/test_support.h"

#include <shlwapi.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

// The picture in the given container, written by GDI+'s own encoder.
Bytes encode(Gdiplus::Bitmap& bitmap, const std::wstring& mimeType) {
    Bytes out = encodeImage(bitmap, mimeType.c_str());
    if (out.empty()) {
        ADD_FAILURE() << "GDI+ could not encode " << std::string(mimeType.begin(), mimeType.end());
    }
    return out;
}

// Whether GDI+ itself reads these bytes, so a refusal is the decoder's own rule.
bool gdiplusReads(const Bytes& bytes) {
    ComPtr<IStream> stream(SHCreateMemStream(bytes.data(), static_cast<UINT>(bytes.size())));
    Gdiplus::Bitmap bitmap(stream.get());
    return bitmap.GetLastStatus() == Gdiplus::Ok && bitmap.GetWidth() > 0;
}

// Decodes and checks that an accepted photo keeps its file bytes exactly as given, since
// saved pairs store those bytes and not a re-encoding.
std::shared_ptr<ImageData> decode(const Bytes& bytes) {
    auto image = decodePhoto(bytes);
    if (image) {
        EXPECT_TRUE(image->bytes == bytes) << "the photo's bytes differ from the file's";
    }
    return image;
}

void expectColour(Gdiplus::Bitmap& bitmap, UINT x, UINT y, Rgb expected, int tolerance) {
    Gdiplus::Color c;
    ASSERT_EQ(bitmap.GetPixel(INT(x), INT(y), &c), Gdiplus::Ok);
    EXPECT_NEAR(c.GetR(), expected.red, tolerance) << x << "," << y;
    EXPECT_NEAR(c.GetG(), expected.green, tolerance) << x << "," << y;
    EXPECT_NEAR(c.GetB(), expected.blue, tolerance) << x << "," << y;
}

// Decodes the file and checks it is the upright picture, its bytes kept as they were.
void expectUpright(const Bytes& file, int tolerance) {
    const auto image = decode(file);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->bytes, file);
    EXPECT_TRUE(image->stream);
    ASSERT_EQ(image->bitmap->GetWidth(), UprightWidth);
    ASSERT_EQ(image->bitmap->GetHeight(), UprightHeight);
    for (UINT y : {UprightHeight / 4, UprightHeight * 3 / 4}) {
        for (UINT x : {UprightWidth / 4, UprightWidth * 3 / 4}) {
            expectColour(*image->bitmap, x, y, uprightColour(x, y), tolerance);
        }
    }
}

Bytes taggedJpeg(int orientation, const Bytes& app1) {
    return withSegmentAfterSoi(encode(*storedPicture(orientation), L"image/jpeg"), app1);
}

// Counts this program's calls to GdipCreateBitmapFromStream, so a test can tell whether
// bytes ever reached GDI+.
using CreateFromStream = Gdiplus::GpStatus(WINAPI*)(IStream*, Gdiplus::GpBitmap**);
int gdiplusCalls = 0;

Gdiplus::GpStatus WINAPI countingCreateFromStream(IStream* stream, Gdiplus::GpBitmap** bitmap) {
    ++gdiplusCalls;
    return ImportHook<CreateFromStream>::original(stream, bitmap);
}

struct GdiplusCallCounter {
    ImportHook<CreateFromStream> hook{L"gdiplus.dll", "GdipCreateBitmapFromStream",
                                      &countingCreateFromStream};
    // Decodes and tells how many bitmaps GDI+ was asked to make on the way.
    int callsToDecode(Bytes bytes, std::shared_ptr<ImageData>& image) {
        const int before = gdiplusCalls;
        image = decode(std::move(bytes));
        return gdiplusCalls - before;
    }
};

} // namespace

TEST(DecodePhoto, JpegPngAndBmpAcceptedGifAndTiffRefused) {
    for (const wchar_t* mime : {L"image/jpeg", L"image/png", L"image/bmp"}) {
        SCOPED_TRACE(std::wstring(mime).substr(6).c_str());
        expectUpright(encode(*storedPicture(1), mime), mime[6] == L'j' ? JpegTolerance : 0);
    }
    const auto topDown = decode(bmpFile(5, -3, 10, 20, 30));
    ASSERT_TRUE(topDown);
    EXPECT_EQ(topDown->bitmap->GetHeight(), 3u);
    expectColour(*topDown->bitmap, 4, 2, {30, 20, 10}, 0);

    // Written by GDI+ itself (Wine's GIF encoder takes indexed bitmaps only) and by PIL.
    Gdiplus::Bitmap indexed(64, 48, PixelFormat8bppIndexed);
    const std::pair<const char*, Bytes> refused[] = {
        {"GDI+ GIF", encode(indexed, L"image/gif")},
        {"GDI+ TIFF", encode(*storedPicture(1), L"image/tiff")},
        {"PIL GIF", readTestFile("corners.gif")},
        {"PIL TIFF", readTestFile("corners.tif")}};
    for (const auto& [name, file] : refused) {
        ASSERT_TRUE(gdiplusReads(file)) << name;
        EXPECT_FALSE(decode(file)) << name;
    }
}

TEST(DecodePhoto, TruncatedAndCorruptJpegRefused) {
    const Bytes whole = flatGreyJpeg(64, 48);
    ASSERT_TRUE(decode(whole));
    EXPECT_FALSE(decode(Bytes(whole.begin(), whole.begin() + 100))); // inside the tables
    EXPECT_FALSE(decode(Bytes(whole.begin(), whole.begin() + 2)));
    Bytes corrupt = whole;
    corrupt[75] = 0; // frame header precision 0
    EXPECT_FALSE(decode(corrupt));
}

TEST(DecodePhoto, LimitsCheckedBeforeGdiplus) {
    GdiplusCallCounter counter;
    ASSERT_TRUE(counter.hook.installed()) << "GdipCreateBitmapFromStream not in the import table";
    // A decoder stops at the end-of-image marker, so a JPEG padded with zeros still decodes;
    // only the byte limit can refuse the longer one.
    Bytes atLimit = flatGreyJpeg(64, 48);
    atLimit.resize(MaxPhotoBytes, 0);
    Bytes overLimit = atLimit;
    overLimit.push_back(0);
    ASSERT_TRUE(gdiplusReads(overLimit));
    std::shared_ptr<ImageData> image;
    EXPECT_EQ(counter.callsToDecode(atLimit, image), 1);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->bytes.size(), MaxPhotoBytes);

    // Bombs declare 60,000 x 60,000 pixels in a few hundred bytes: GDI+ would commit
    // gigabytes before its size could be asked.
    Bytes jpegBomb = flatGreyJpeg(16, 16);
    jpegBomb[76] = jpegBomb[78] = 0xEA; // 0xEA60 = 60,000
    jpegBomb[77] = jpegBomb[79] = 0x60;
    Bytes bmpBomb = bmpFile(1, 1);
    bmpBomb[18] = bmpBomb[22] = 0x60;
    bmpBomb[19] = bmpBomb[23] = 0xEA;
    const std::pair<const char*, Bytes> refused[] = {
        {"over 40 MiB", overLimit},
        {"empty", {}},
        {"PNG bomb", pngWithTinyBody(60000, 60000)},
        {"JPEG bomb", jpegBomb},
        {"BMP bomb", bmpBomb},
        {"80,016,000 pixels", flatGreyJpeg(24000, 3334)},
        {"too wide", flatGreyJpeg(24001, 10)},
        {"too high", flatGreyJpeg(10, 24001)},
        {"too wide BMP", bmpFile(24001, 1)}};
    for (const auto& [name, file] : refused) {
        EXPECT_EQ(counter.callsToDecode(file, image), 0) << name;
        EXPECT_FALSE(image) << name;
    }
    // A header the size check cannot read still goes to GDI+, which refuses it there.
    EXPECT_EQ(counter.callsToDecode(Bytes(1000, 0x5A), image), 1);
    EXPECT_FALSE(image);
}

TEST(DecodePhoto, LargestSizesDecodeReally) {
    const auto image = decode(flatGreyJpeg(10000, 8000));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->bitmap->GetWidth(), 10000u);
    EXPECT_EQ(image->bitmap->GetHeight(), 8000u);
    expectColour(*image->bitmap, 9999, 7999, {128, 128, 128}, 2);
    const auto wide = decode(flatGreyJpeg(24000, 10));
    ASSERT_TRUE(wide);
    EXPECT_EQ(wide->bitmap->GetWidth(), 24000u);
}

TEST(DecodePhoto, EveryOrientationTurnedUpright) {
    for (bool bigEndian : {false, true}) {
        for (int orientation = 1; orientation <= 8; ++orientation) {
            SCOPED_TRACE(std::to_string(orientation) + (bigEndian ? " MM" : " II"));
            expectUpright(
                taggedJpeg(orientation, orientationApp1(std::uint16_t(orientation), bigEndian)),
                JpegTolerance);
        }
    }
    // Unknown values leave the photo as stored.
    for (std::uint16_t value : {0, 9, 0xFFFF}) {
        SCOPED_TRACE(value);
        expectUpright(taggedJpeg(1, orientationApp1(value, true)), JpegTolerance);
    }
    // 32 x 16 stored, quadrants red, green / blue, yellow, tag 6.
    const auto image = decode(readTestFile("orientation6_exiftool.jpg"));
    ASSERT_TRUE(image);
    ASSERT_EQ(image->bitmap->GetWidth(), 16u);
    ASSERT_EQ(image->bitmap->GetHeight(), 32u);
    // Turned clockwise: the stored bottom-left quadrant is now top left, and so on.
    expectColour(*image->bitmap, 4, 8, {30, 30, 220}, JpegTolerance);
    expectColour(*image->bitmap, 12, 8, {220, 30, 30}, JpegTolerance);
    expectColour(*image->bitmap, 4, 24, {230, 230, 40}, JpegTolerance);
    expectColour(*image->bitmap, 12, 24, {30, 200, 30}, JpegTolerance);
}
