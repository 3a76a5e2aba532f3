// Decoding photos through GDI+: accepted and refused formats, the byte, side and pixel
// limits, oversized headers refused before GDI+, and EXIF orientation turned upright.
#include "archive/image_data.h"
#include "archive/photo_limits.h"
#include "tests/native/photo_bytes.h"

#include <shlwapi.h>

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>

namespace {

constexpr GUID EncoderQualityParameter = {
    0x1D5BE4B5, 0xFA4A, 0x452D, {0x9C, 0xDD, 0x5D, 0xB3, 0x51, 0x05, 0xE7, 0xEB}};

struct Rgb {
    int red;
    int green;
    int blue;
};

// The upright test picture: four quadrants of distinct colours, wider than high.
constexpr UINT UprightWidth = 64;
constexpr UINT UprightHeight = 48;
constexpr std::array<Rgb, 4> QuadrantColours = {
    {{220, 30, 30}, {30, 200, 30}, {30, 30, 220}, {230, 230, 40}}};

Rgb uprightColour(UINT x, UINT y) {
    return QuadrantColours[(x >= UprightWidth / 2 ? 1 : 0) + (y >= UprightHeight / 2 ? 2 : 0)];
}

struct Point {
    UINT x;
    UINT y;
};

// Where the stored pixel (x, y) of a picture tagged with this orientation shows once the
// picture is turned upright, following the EXIF definition of each value: 2 mirrored,
// 3 half turn, 4 flipped, 5 transposed, 6 to be turned clockwise, 7 transversed, 8 to be
// turned anticlockwise.
Point storedToUpright(int orientation, Point p, UINT storedWidth, UINT storedHeight) {
    const UINT lastX = storedWidth - 1;
    const UINT lastY = storedHeight - 1;
    switch (orientation) {
    case 2:
        return {lastX - p.x, p.y};
    case 3:
        return {lastX - p.x, lastY - p.y};
    case 4:
        return {p.x, lastY - p.y};
    case 5:
        return {p.y, p.x};
    case 6:
        return {lastY - p.y, p.x};
    case 7:
        return {lastY - p.y, lastX - p.x};
    case 8:
        return {p.y, lastX - p.x};
    default:
        return p;
    }
}

std::unique_ptr<Gdiplus::Bitmap> storedPicture(int orientation) {
    const bool sideways = orientation >= 5 && orientation <= 8;
    const UINT width = sideways ? UprightHeight : UprightWidth;
    const UINT height = sideways ? UprightWidth : UprightHeight;
    auto bitmap = std::make_unique<Gdiplus::Bitmap>(width, height, PixelFormat24bppRGB);
    for (UINT y = 0; y < height; ++y) {
        for (UINT x = 0; x < width; ++x) {
            const Point upright = storedToUpright(orientation, {x, y}, width, height);
            const Rgb c = uprightColour(upright.x, upright.y);
            bitmap->SetPixel(x, y,
                             Gdiplus::Color(static_cast<BYTE>(c.red), static_cast<BYTE>(c.green),
                                            static_cast<BYTE>(c.blue)));
        }
    }
    return bitmap;
}

bool encoderFor(const wchar_t* mimeType, CLSID& clsid) {
    UINT count = 0;
    UINT size = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0) {
        return false;
    }
    std::vector<std::uint8_t> buffer(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::GetImageEncoders(count, size, codecs) != Gdiplus::Ok) {
        return false;
    }
    for (UINT i = 0; i < count; ++i) {
        if (std::wstring(codecs[i].MimeType) == mimeType) {
            clsid = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}

Bytes streamContents(IStream* stream) {
    STATSTG stat{};
    if (FAILED(stream->Stat(&stat, STATFLAG_NONAME))) {
        return {};
    }
    Bytes out(static_cast<std::size_t>(stat.cbSize.QuadPart));
    LARGE_INTEGER start{};
    ULONG read = 0;
    if (FAILED(stream->Seek(start, STREAM_SEEK_SET, nullptr)) ||
        FAILED(stream->Read(out.data(), static_cast<ULONG>(out.size()), &read)) ||
        read != out.size()) {
        return {};
    }
    return out;
}

// The picture in the given container, written by GDI+'s own encoder.
Bytes encode(Gdiplus::Bitmap& bitmap, const wchar_t* mimeType) {
    CLSID clsid{};
    if (!encoderFor(mimeType, clsid)) {
        ADD_FAILURE() << "no GDI+ encoder for "
                      << std::string(mimeType, mimeType + wcslen(mimeType));
        return {};
    }
    IStream* raw = nullptr;
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &raw))) {
        return {};
    }
    std::unique_ptr<IStream, ComRelease> stream(raw);
    ULONG quality = 95;
    Gdiplus::EncoderParameters parameters{};
    parameters.Count = 1;
    parameters.Parameter[0].Guid = EncoderQualityParameter;
    parameters.Parameter[0].Type = Gdiplus::EncoderParameterValueTypeLong;
    parameters.Parameter[0].NumberOfValues = 1;
    parameters.Parameter[0].Value = &quality;
    const bool isJpeg = std::wstring(mimeType) == L"image/jpeg";
    if (bitmap.Save(stream.get(), &clsid, isJpeg ? &parameters : nullptr) != Gdiplus::Ok) {
        ADD_FAILURE() << "GDI+ could not encode";
        return {};
    }
    return streamContents(stream.get());
}

// Whether GDI+ itself reads these bytes, so that a refusal can be pinned on the decoder's
// own rules rather than on GDI+.
bool gdiplusReads(const Bytes& bytes) {
    std::unique_ptr<IStream, ComRelease> stream(
        SHCreateMemStream(bytes.data(), static_cast<UINT>(bytes.size())));
    if (!stream) {
        return false;
    }
    Gdiplus::Bitmap bitmap(stream.get());
    return bitmap.GetLastStatus() == Gdiplus::Ok && bitmap.GetWidth() > 0;
}

std::shared_ptr<ImageData> decodeAndCheckConsumed(Bytes bytes) {
    auto image = decodePhoto(std::move(bytes));
    EXPECT_TRUE(bytes.empty()) << "the caller's vector must be consumed";
    return image;
}

void expectColour(Gdiplus::Bitmap& bitmap, UINT x, UINT y, Rgb expected, int tolerance,
                  const std::string& what) {
    Gdiplus::Color colour;
    ASSERT_EQ(bitmap.GetPixel(static_cast<INT>(x), static_cast<INT>(y), &colour), Gdiplus::Ok);
    EXPECT_NEAR(colour.GetR(), expected.red, tolerance) << what << " at " << x << "," << y;
    EXPECT_NEAR(colour.GetG(), expected.green, tolerance) << what << " at " << x << "," << y;
    EXPECT_NEAR(colour.GetB(), expected.blue, tolerance) << what << " at " << x << "," << y;
}

// The decoded bitmap is the upright picture: its size and the colour in each quadrant.
void expectUpright(const std::shared_ptr<ImageData>& image, int tolerance,
                   const std::string& what) {
    ASSERT_TRUE(image) << what;
    ASSERT_EQ(image->bitmap->GetWidth(), UprightWidth) << what;
    ASSERT_EQ(image->bitmap->GetHeight(), UprightHeight) << what;
    for (UINT y : {UprightHeight / 4, UprightHeight * 3 / 4}) {
        for (UINT x : {UprightWidth / 4, UprightWidth * 3 / 4}) {
            expectColour(*image->bitmap, x, y, uprightColour(x, y), tolerance, what);
        }
    }
}

Bytes readTestFile(const std::string& name) {
    std::ifstream in(DRIFTPANE_SOURCE_DIR "/tests/data/" + name, std::ios::binary);
    EXPECT_TRUE(in) << name;
    return Bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

Bytes taggedJpeg(int orientation, const Bytes& app1) {
    auto stored = storedPicture(orientation);
    return withSegmentAfterSoi(encode(*stored, L"image/jpeg"), app1);
}

// The grey JPEG with another size written into its frame header; its scan stays short.
Bytes withFrameSize(Bytes jpeg, std::uint32_t width, std::uint32_t height) {
    const std::size_t frame = 2 + 69 + 5; // after SOI, the table segment, marker and length
    jpeg[frame + 0] = static_cast<std::uint8_t>(height >> 8);
    jpeg[frame + 1] = static_cast<std::uint8_t>(height);
    jpeg[frame + 2] = static_cast<std::uint8_t>(width >> 8);
    jpeg[frame + 3] = static_cast<std::uint8_t>(width);
    return jpeg;
}

// Counts the calls this program makes to GdipCreateBitmapFromStream by swapping the entry
// in its own import table, so a test can tell whether bytes ever reached GDI+.
using CreateBitmapFromStream = Gdiplus::GpStatus(WINAPI*)(IStream*, Gdiplus::GpBitmap**);
CreateBitmapFromStream realCreateBitmapFromStream = nullptr;
int createBitmapFromStreamCalls = 0;

Gdiplus::GpStatus WINAPI countingCreateBitmapFromStream(IStream* stream,
                                                        Gdiplus::GpBitmap** bitmap) {
    ++createBitmapFromStreamCalls;
    return realCreateBitmapFromStream(stream, bitmap);
}

ULONG_PTR* importSlot(FARPROC function) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    auto* module = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
    for (; imports.VirtualAddress != 0 && module->Name != 0; ++module) {
        auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->FirstThunk);
        for (; slot->u1.Function != 0; ++slot) {
            if (slot->u1.Function == reinterpret_cast<ULONG_PTR>(function)) {
                return &slot->u1.Function;
            }
        }
    }
    return nullptr;
}

void writeSlot(ULONG_PTR* slot, ULONG_PTR value) {
    DWORD protection = 0;
    VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection);
    *slot = value;
    VirtualProtect(slot, sizeof *slot, protection, &protection);
}

struct GdiplusCallCounter {
    ULONG_PTR* slot = nullptr;

    GdiplusCallCounter() {
        const FARPROC real =
            GetProcAddress(GetModuleHandleW(L"gdiplus.dll"), "GdipCreateBitmapFromStream");
        slot = real ? importSlot(real) : nullptr;
        if (slot) {
            realCreateBitmapFromStream =
                reinterpret_cast<CreateBitmapFromStream>(reinterpret_cast<void (*)()>(real));
            writeSlot(slot, reinterpret_cast<ULONG_PTR>(&countingCreateBitmapFromStream));
        }
    }
    ~GdiplusCallCounter() {
        if (slot) {
            writeSlot(slot, reinterpret_cast<ULONG_PTR>(realCreateBitmapFromStream));
        }
    }
    GdiplusCallCounter(const GdiplusCallCounter&) = delete;
    GdiplusCallCounter& operator=(const GdiplusCallCounter&) = delete;
};

// Decodes and tells how many bitmaps GDI+ was asked to make on the way.
int gdiplusCallsToDecode(Bytes bytes, std::shared_ptr<ImageData>& image) {
    const int before = createBitmapFromStreamCalls;
    image = decodeAndCheckConsumed(std::move(bytes));
    return createBitmapFromStreamCalls - before;
}

constexpr int JpegTolerance = 40;

} // namespace

TEST(DecodePhotoFormat, JpegPngAndBmpAcceptedAsTheyAre) {
    auto upright = storedPicture(1);
    for (const wchar_t* mime : {L"image/jpeg", L"image/png", L"image/bmp"}) {
        const std::string name(mime, mime + wcslen(mime));
        const Bytes file = encode(*upright, mime);
        ASSERT_FALSE(file.empty()) << name;
        auto image = decodeAndCheckConsumed(file);
        expectUpright(image, std::wstring(mime) == L"image/jpeg" ? JpegTolerance : 0, name);
        ASSERT_TRUE(image);
        EXPECT_EQ(image->bytes, file) << name;
        EXPECT_TRUE(image->stream) << name;
    }
}

TEST(DecodePhotoFormat, GifAndTiffRefusedThoughGdiplusReadsThem) {
    // Written by GDI+ itself and by another tool (tools/make_test_photos.py). Wine's GIF
    // encoder writes only indexed bitmaps.
    Gdiplus::Bitmap indexed(64, 48, PixelFormat8bppIndexed);
    const std::vector<std::pair<std::string, Bytes>> files = {
        {"GDI+ GIF", encode(indexed, L"image/gif")},
        {"GDI+ TIFF", encode(*storedPicture(1), L"image/tiff")},
        {"PIL GIF", readTestFile("corners.gif")},
        {"PIL TIFF", readTestFile("corners.tif")}};
    for (const auto& [name, file] : files) {
        ASSERT_TRUE(gdiplusReads(file)) << name;
        EXPECT_FALSE(decodeAndCheckConsumed(file)) << name;
    }
}

TEST(DecodePhotoFormat, TopDownBmpAccepted) {
    auto image = decodeAndCheckConsumed(bmpFile(5, -3, 10, 20, 30));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->bitmap->GetWidth(), 5u);
    EXPECT_EQ(image->bitmap->GetHeight(), 3u);
    expectColour(*image->bitmap, 4, 2, {30, 20, 10}, 0, "top-down BMP");
}

TEST(DecodePhotoFormat, TruncatedAndCorruptJpegRefused) {
    const Bytes whole = flatGreyJpeg(64, 48);
    ASSERT_TRUE(decodeAndCheckConsumed(whole));
    // Cut inside the Huffman tables: GDI+ cannot even begin the image.
    EXPECT_FALSE(decodeAndCheckConsumed(Bytes(whole.begin(), whole.begin() + 100)));
    EXPECT_FALSE(decodeAndCheckConsumed(Bytes(whole.begin(), whole.begin() + 2)));
    Bytes corrupt = whole;
    corrupt[2 + 69 + 4] = 0; // frame header precision 0
    EXPECT_FALSE(decodeAndCheckConsumed(corrupt));
    EXPECT_FALSE(decodeAndCheckConsumed(Bytes(1000, 0x5A)));
}

TEST(DecodePhotoBytes, LimitIsExactAndCheckedBeforeGdiplus) {
    GdiplusCallCounter counter;
    ASSERT_TRUE(counter.slot) << "GdipCreateBitmapFromStream not found in the import table";
    // A decoder stops at the end-of-image marker, so a JPEG padded with zeros still decodes;
    // only the byte limit can refuse the longer one.
    const Bytes jpeg = flatGreyJpeg(64, 48);
    Bytes atLimit = jpeg;
    atLimit.resize(MaxPhotoBytes, 0);
    Bytes overLimit = jpeg;
    overLimit.resize(MaxPhotoBytes + 1, 0);
    ASSERT_TRUE(gdiplusReads(overLimit));

    std::shared_ptr<ImageData> image;
    EXPECT_EQ(gdiplusCallsToDecode(atLimit, image), 1);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->bytes.size(), MaxPhotoBytes);
    EXPECT_EQ(image->bitmap->GetWidth(), 64u);

    EXPECT_EQ(gdiplusCallsToDecode(overLimit, image), 0);
    EXPECT_FALSE(image);
    EXPECT_EQ(gdiplusCallsToDecode({}, image), 0);
    EXPECT_FALSE(image);
}

TEST(DecodePhotoSize, EightyMegapixelsDecodeReally) {
    auto image = decodeAndCheckConsumed(flatGreyJpeg(10000, 8000));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->bitmap->GetWidth(), 10000u);
    EXPECT_EQ(image->bitmap->GetHeight(), 8000u);
    expectColour(*image->bitmap, 9999, 7999, {128, 128, 128}, 2, "10000 x 8000");
}

TEST(DecodePhotoSize, LongestSideAccepted) {
    auto wide = decodeAndCheckConsumed(flatGreyJpeg(24000, 10));
    ASSERT_TRUE(wide);
    EXPECT_EQ(wide->bitmap->GetWidth(), 24000u);
    auto tall = decodeAndCheckConsumed(flatGreyJpeg(10, 24000));
    ASSERT_TRUE(tall);
    EXPECT_EQ(tall->bitmap->GetHeight(), 24000u);
}

TEST(DecodePhotoSize, OverTheLimitsRefused) {
    EXPECT_FALSE(decodeAndCheckConsumed(flatGreyJpeg(24000, 3334))); // 80,016,000 pixels
    EXPECT_FALSE(decodeAndCheckConsumed(flatGreyJpeg(24001, 10)));   // few pixels, too wide
    EXPECT_FALSE(decodeAndCheckConsumed(flatGreyJpeg(10, 24001)));
    EXPECT_FALSE(decodeAndCheckConsumed(bmpFile(24001, 1, 0, 0, 0)));
}

TEST(DecodePhotoSize, BombHeadersRefusedBeforeGdiplusSeesThem) {
    // 60,000 x 60,000 pixels declared in files of a few hundred bytes: GDI+ would commit
    // gigabytes for the pixels before its size could be asked.
    GdiplusCallCounter counter;
    ASSERT_TRUE(counter.slot) << "GdipCreateBitmapFromStream not found in the import table";
    Bytes bmp = bmpFile(1, 1, 0, 0, 0);
    const std::uint32_t side = 60000;
    for (int i = 0; i < 4; ++i) {
        bmp[18 + i] = static_cast<std::uint8_t>(side >> (8 * i));
        bmp[22 + i] = static_cast<std::uint8_t>(side >> (8 * i));
    }
    const std::vector<std::pair<std::string, Bytes>> bombs = {
        {"PNG", pngWithTinyBody(60000, 60000)},
        {"JPEG", withFrameSize(flatGreyJpeg(16, 16), 60000, 60000)},
        {"BMP", bmp}};
    for (const auto& [name, file] : bombs) {
        std::shared_ptr<ImageData> image;
        EXPECT_EQ(gdiplusCallsToDecode(file, image), 0) << name;
        EXPECT_FALSE(image) << name;
    }
    // A header the size check cannot read still goes to GDI+, which refuses it there.
    std::shared_ptr<ImageData> image;
    EXPECT_EQ(gdiplusCallsToDecode(Bytes(1000, 0x5A), image), 1);
    EXPECT_FALSE(image);
}

TEST(DecodePhotoOrientation, AllEightTurnedUprightInBothByteOrders) {
    for (bool bigEndian : {false, true}) {
        for (int orientation = 1; orientation <= 8; ++orientation) {
            const Bytes file = taggedJpeg(
                orientation, orientationApp1(static_cast<std::uint16_t>(orientation), bigEndian));
            auto image = decodeAndCheckConsumed(file);
            expectUpright(image, JpegTolerance,
                          "orientation " + std::to_string(orientation) +
                              (bigEndian ? " MM" : " II"));
            ASSERT_TRUE(image);
            EXPECT_EQ(image->bytes, file);
        }
    }
}

TEST(DecodePhotoOrientation, SidewaysPhotoKeepsItsBytes) {
    const Bytes file = taggedJpeg(6, orientationApp1(6, false));
    auto stored =
        decodeAndCheckConsumed(withSegmentAfterSoi(encode(*storedPicture(6), L"image/jpeg"), {}));
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->bitmap->GetWidth(), UprightHeight); // without the tag: on its side
    auto image = decodeAndCheckConsumed(file);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->bitmap->GetWidth(), UprightWidth);
    EXPECT_EQ(image->bitmap->GetHeight(), UprightHeight);
    EXPECT_EQ(image->bytes, file);
}

TEST(DecodePhotoOrientation, UnknownValuesAndMalformedItemsLeaveThePhotoAsStored) {
    for (std::uint16_t value : {0, 1, 9, 0xFFFF}) {
        expectUpright(decodeAndCheckConsumed(taggedJpeg(1, orientationApp1(value, true))),
                      JpegTolerance, "orientation " + std::to_string(value));
    }
    // An item of one byte (type BYTE) and one with no values at all, both claiming 6.
    const Bytes oneByte = jpegSegment(0xE1, exifPayload({{0x0112, 1, 1, 6}}, false));
    const Bytes noValue = jpegSegment(0xE1, exifPayload({{0x0112, 3, 0, 6}}, false));
    expectUpright(decodeAndCheckConsumed(taggedJpeg(1, oneByte)), JpegTolerance, "one byte");
    expectUpright(decodeAndCheckConsumed(taggedJpeg(1, noValue)), JpegTolerance, "no value");
}

TEST(DecodePhotoOrientation, FileTaggedByExiftool) {
    // tools/make_test_photos.py: 32 x 16 stored, quadrants red, green / blue, yellow, tag 6.
    const Bytes file = readTestFile("orientation6_exiftool.jpg");
    ASSERT_FALSE(file.empty());
    auto image = decodeAndCheckConsumed(file);
    ASSERT_TRUE(image);
    Gdiplus::Bitmap& bitmap = *image->bitmap;
    ASSERT_EQ(bitmap.GetWidth(), 16u);
    ASSERT_EQ(bitmap.GetHeight(), 32u);
    // Turned clockwise: the stored bottom-left quadrant is now top left, and so on.
    expectColour(bitmap, 4, 8, {30, 30, 220}, JpegTolerance, "top left");
    expectColour(bitmap, 12, 8, {220, 30, 30}, JpegTolerance, "top right");
    expectColour(bitmap, 4, 24, {230, 230, 40}, JpegTolerance, "bottom left");
    expectColour(bitmap, 12, 24, {30, 200, 30}, JpegTolerance, "bottom right");
    EXPECT_EQ(image->bytes, file);
}
