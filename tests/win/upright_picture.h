// The test picture for EXIF orientation: four coloured quadrants, wider than high, and the
// same picture as a camera stores it under each orientation value.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <memory>
#include <utility>

struct Rgb {
    int red, green, blue;
};

// The upright test picture: four quadrants of distinct colours, wider than high.
inline constexpr UINT UprightWidth = 64;
inline constexpr UINT UprightHeight = 48;
inline constexpr int JpegTolerance = 40;

inline Rgb uprightColour(UINT x, UINT y) {
    constexpr Rgb quadrants[] = {{220, 30, 30}, {30, 200, 30}, {30, 30, 220}, {230, 230, 40}};
    return quadrants[(x >= UprightWidth / 2 ? 1 : 0) + (y >= UprightHeight / 2 ? 2 : 0)];
}

// The picture as stored under an EXIF orientation: stored pixel (x, y) shows at the
// returned upright place, after the EXIF definition of each value (2 mirrored, 3 half
// turn, 4 flipped, 5 transposed, 6 to be turned clockwise, 7 transversed, 8 anticlockwise).
inline std::unique_ptr<Gdiplus::Bitmap> storedPicture(int orientation) {
    const bool sideways = orientation >= 5;
    const UINT width = sideways ? UprightHeight : UprightWidth;
    const UINT height = sideways ? UprightWidth : UprightHeight;
    auto bitmap = std::make_unique<Gdiplus::Bitmap>(width, height, PixelFormat24bppRGB);
    for (UINT y = 0; y < height; ++y) {
        for (UINT x = 0; x < width; ++x) {
            const UINT mx = width - 1 - x;
            const UINT my = height - 1 - y;
            const std::pair<UINT, UINT> upright[] = {{x, y}, {mx, y}, {mx, my}, {x, my},
                                                     {y, x}, {my, x}, {my, mx}, {y, mx}};
            const auto [ux, uy] = upright[orientation - 1];
            const Rgb c = uprightColour(ux, uy);
            bitmap->SetPixel(x, y, Gdiplus::Color(BYTE(c.red), BYTE(c.green), BYTE(c.blue)));
        }
    }
    return bitmap;
}
