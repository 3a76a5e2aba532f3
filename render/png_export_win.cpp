// PNG export: render offscreen, encode into memory with GDI+'s PNG encoder, check the size,
// write atomically under a new name.
#include "render/png_export.h"

#include "app/commands.h"
#include "archive/image_data.h"
#include "core/app_state.h"
#include "core/handles_win.h"
#include "pairs/storage.h"
#include "render/comparison.h"

#include <cwchar>
#include <optional>

namespace {

// The class id of the installed encoder whose MIME type is exactly "image/png"; the last
// one wins if several are.
std::optional<CLSID> pngEncoder() {
    UINT count = 0;
    UINT size = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || count == 0 ||
        size < count * sizeof(Gdiplus::ImageCodecInfo)) {
        return std::nullopt;
    }
    // The vector owns the list and frees it on every path.
    std::vector<std::uint8_t> buffer(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::GetImageEncoders(count, size, codecs) != Gdiplus::Ok) {
        return std::nullopt;
    }
    std::optional<CLSID> found;
    for (UINT i = 0; i < count; ++i) {
        if (codecs[i].MimeType && std::wcscmp(codecs[i].MimeType, L"image/png") == 0) {
            found = codecs[i].Clsid;
        }
    }
    return found;
}

} // namespace

std::vector<std::uint8_t> renderExportPng() {
    // The wrappers live on the stack, so the bitmap and its graphics are released on every
    // path; a failed creation shows as a status the encoder then refuses.
    Gdiplus::Bitmap bitmap(ExportWidth, ExportHeight, PixelFormat32bppARGB);
    if (bitmap.GetLastStatus() != Gdiplus::Ok) {
        return {};
    }
    {
        // A new surface's defaults apply: no world transform, so one unit is one pixel
        // whatever uiScale is. Released before encoding so every drawing call is flushed.
        Gdiplus::Graphics graphics(&bitmap);
        // Without a surface nothing is drawn, and the untouched bitmap would be encoded and
        // reported as exported.
        if (graphics.GetLastStatus() != Gdiplus::Ok) {
            return {};
        }
        drawComparison(graphics,
                       Gdiplus::RectF(0.0f, 0.0f, static_cast<float>(ExportWidth),
                                      static_cast<float>(ExportHeight)),
                       false);
    }
    const std::optional<CLSID> encoder = pngEncoder();
    IStream* rawStream = nullptr;
    if (!encoder || FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &rawStream)) || !rawStream) {
        return {};
    }
    // Releasing the stream frees its memory (delete-on-release).
    ComPtr<IStream> stream(rawStream);
    if (bitmap.Save(stream.get(), &*encoder, nullptr) != Gdiplus::Ok) {
        return {};
    }
    STATSTG stat{};
    // An encoder that reports success but wrote nothing has not exported anything.
    if (FAILED(stream->Stat(&stat, STATFLAG_NONAME)) || stat.cbSize.QuadPart == 0 ||
        stat.cbSize.QuadPart > MaxExportBytes) {
        return {};
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(stat.cbSize.QuadPart));
    const LARGE_INTEGER start{};
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    ULONG read = 0;
    if (FAILED(stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read)) ||
        read != bytes.size()) {
        return {};
    }
    return bytes;
}

void exportPng() {
    const std::wstring folder = joinPath(appState.appDataDir, ExportsFolderName);
    if (!appState.firstImage || !appState.secondImage || appState.appDataDir.empty() ||
        !ensureDirectory(folder)) {
        setStatus(TextId::CannotSave, true);
        return;
    }
    const std::vector<std::uint8_t> bytes = renderExportPng();
    if (bytes.empty() || !writeFileAtomically(makeUniquePath(folder, L".png"), bytes)) {
        setStatus(TextId::CannotSave, true);
        return;
    }
    setStatus(TextId::PngExported, false);
}
