// One decoded photo: its file bytes exactly as read, a memory stream over a private copy
// of them and the bitmap GDI+ decoded from that stream, turned upright. Windows only.
#pragma once

#include "core/handles_win.h"

#include <gdiplus.h>

#include <cstdint>
#include <memory>
#include <vector>

// The members are destroyed in reverse order: the bitmap first, because it keeps
// reading from the stream, then the stream, then the bytes.
struct ImageData {
    std::vector<std::uint8_t> bytes;
    ComPtr<IStream> stream;
    std::unique_ptr<Gdiplus::Bitmap> bitmap;
};

// Takes the caller's buffer (moved in; empty afterwards whatever the outcome) and returns
// the decoded photo, or an empty pointer when the photo is refused.
std::shared_ptr<ImageData> decodePhoto(std::vector<std::uint8_t> bytes);
