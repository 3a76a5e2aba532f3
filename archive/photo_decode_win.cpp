// Turns photo file bytes into an upright GDI+ bitmap within the program's limits. This is
// the one gate for what counts as a readable photo, whatever its source.
#include "archive/image_data.h"

#include "archive/exif_orientation.h"
#include "archive/photo_header.h"
#include "archive/photo_limits.h"

#include <shlwapi.h>

#include <cstring>
#include <new>
#include <optional>

namespace {

constexpr GUID JpegFormat = {
    0xB96B3CAE, 0x0728, 0x11D3, {0x9D, 0x7B, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
constexpr GUID PngFormat = {
    0xB96B3CAF, 0x0728, 0x11D3, {0x9D, 0x7B, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
constexpr GUID BmpFormat = {
    0xB96B3CAB, 0x0728, 0x11D3, {0x9D, 0x7B, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};

constexpr PROPID OrientationProperty = 0x0112;
constexpr UINT MaxPropertyItemSize = 65535;

// GdiplusBase's operator new answers an exhausted heap with null instead of throwing, and a
// new-expression is allowed to skip the null check for such an operator. Allocating through
// the same GdipAlloc and constructing in place keeps the failure visible; GdiplusBase's
// operator delete frees it as usual.
std::unique_ptr<Gdiplus::Bitmap> newBitmapFromStream(IStream* stream) {
    void* memory = Gdiplus::DllExports::GdipAlloc(sizeof(Gdiplus::Bitmap));
    if (!memory) {
        return nullptr;
    }
    return std::unique_ptr<Gdiplus::Bitmap>(::new (memory) Gdiplus::Bitmap(stream));
}

bool isAcceptedFormat(Gdiplus::Bitmap& bitmap, bool& isJpeg) {
    GUID format{};
    if (bitmap.GetRawFormat(&format) != Gdiplus::Ok) {
        return false;
    }
    isJpeg = format == JpegFormat;
    return isJpeg || format == PngFormat || format == BmpFormat;
}

// The first 16-bit value of the orientation property, 0 for an item shorter than that;
// empty when GDI+ has no such property to give.
std::optional<std::uint16_t> orientationProperty(Gdiplus::Bitmap& bitmap) {
    const UINT size = bitmap.GetPropertyItemSize(OrientationProperty);
    if (bitmap.GetLastStatus() != Gdiplus::Ok || size < 1 || size > MaxPropertyItemSize) {
        return std::nullopt;
    }
    // Zero-filled, and new[] aligns it for the PropertyItem header GDI+ writes at its start.
    auto buffer = std::make_unique<std::uint8_t[]>(size);
    auto* item = reinterpret_cast<Gdiplus::PropertyItem*>(buffer.get());
    if (bitmap.GetPropertyItem(OrientationProperty, size, item) != Gdiplus::Ok) {
        return std::nullopt;
    }
    std::uint16_t value = 0;
    if (item->length >= sizeof value && item->value) {
        std::memcpy(&value, item->value, sizeof value);
    }
    return value;
}

std::optional<Gdiplus::RotateFlipType> uprightTurn(std::uint16_t orientation) {
    switch (orientation) {
    case 2:
        return Gdiplus::RotateNoneFlipX;
    case 3:
        return Gdiplus::Rotate180FlipNone;
    case 4:
        return Gdiplus::Rotate180FlipX;
    case 5:
        return Gdiplus::Rotate90FlipX;
    case 6:
        return Gdiplus::Rotate90FlipNone;
    case 7:
        return Gdiplus::Rotate270FlipX;
    case 8:
        return Gdiplus::Rotate270FlipNone;
    default:
        return std::nullopt;
    }
}

// Wine's GDI+ turns Rotate90FlipX and Rotate270FlipX into each other. A two-pixel probe
// shows whether this GDI+ does; only then are the two done as a quarter turn and a mirror,
// which gives what the one call gives on Windows.
bool mirroredQuarterTurnsSwapped() {
    Gdiplus::Bitmap probe(2, 1, PixelFormat32bppARGB);
    if (probe.GetLastStatus() != Gdiplus::Ok ||
        probe.SetPixel(0, 0, Gdiplus::Color(255, 255, 0, 0)) != Gdiplus::Ok ||
        probe.SetPixel(1, 0, Gdiplus::Color(255, 0, 0, 255)) != Gdiplus::Ok ||
        probe.RotateFlip(Gdiplus::Rotate90FlipX) != Gdiplus::Ok) {
        return false;
    }
    // Turned clockwise and mirrored, the left (red) pixel belongs on top; blue there means
    // this GDI+ turned the other way.
    Gdiplus::Color top;
    return probe.GetPixel(0, 0, &top) == Gdiplus::Ok && top.GetB() == 255 && top.GetR() == 0;
}

void turnUpright(Gdiplus::Bitmap& bitmap, Gdiplus::RotateFlipType turn) {
    const bool mirroredQuarterTurn =
        turn == Gdiplus::Rotate90FlipX || turn == Gdiplus::Rotate270FlipX;
    if (mirroredQuarterTurn && mirroredQuarterTurnsSwapped()) {
        if (bitmap.RotateFlip(turn == Gdiplus::Rotate90FlipX
                                  ? Gdiplus::Rotate90FlipNone
                                  : Gdiplus::Rotate270FlipNone) == Gdiplus::Ok) {
            bitmap.RotateFlip(Gdiplus::RotateNoneFlipX);
        }
        return;
    }
    bitmap.RotateFlip(turn); // a failed turn leaves the photo as decoded, still usable
}

} // namespace

std::shared_ptr<ImageData> decodePhoto(std::vector<std::uint8_t> bytes) {
    if (bytes.empty() || bytes.size() > MaxPhotoBytes) {
        return nullptr;
    }
    // A few bytes of header can announce billions of pixels, which GDI+ would try to
    // allocate before its size could be asked. Such a photo is refused anyway; refuse it
    // before GDI+ sees it.
    if (const auto declared = peekPhotoSize(bytes)) {
        if (exceedsPhotoLimits(declared->width, declared->height)) {
            return nullptr;
        }
    }

    auto image = std::make_shared<ImageData>();
    image->bytes = std::move(bytes);
    image->stream.reset(
        SHCreateMemStream(image->bytes.data(), static_cast<UINT>(image->bytes.size())));
    if (!image->stream) {
        return nullptr;
    }
    image->bitmap = newBitmapFromStream(image->stream.get());
    if (!image->bitmap || image->bitmap->GetLastStatus() != Gdiplus::Ok) {
        return nullptr;
    }
    Gdiplus::Bitmap& bitmap = *image->bitmap;

    const UINT width = bitmap.GetWidth();
    const UINT height = bitmap.GetHeight();
    if (width == 0 || height == 0 || exceedsPhotoLimits(width, height)) {
        return nullptr;
    }
    bool isJpeg = false;
    if (!isAcceptedFormat(bitmap, isJpeg)) {
        return nullptr;
    }

    // Wine's GDI+ reports no orientation property for JPEG files; the file's own Exif block
    // then says the same thing Windows would have reported.
    std::optional<std::uint16_t> orientation = orientationProperty(bitmap);
    if (!orientation && isJpeg) {
        orientation = jpegExifOrientation(image->bytes);
    }
    if (const auto turn = uprightTurn(orientation.value_or(0))) {
        turnUpright(bitmap, *turn);
    }
    return image;
}
