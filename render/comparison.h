// Draws the two photos of the pair over each other in one rectangle, split at the divider,
// with the divider line, its knob and the year chips; and the one-line text drawing the
// window painting shares. Windows only.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstdint>
#include <memory>
#include <string>

struct ImageData;

// View background, behind and beside the photos.
inline constexpr std::uint32_t ViewBackground = 0xFF1B2728;
inline constexpr std::uint32_t DividerColour = 0xFFFAF4E6;
inline constexpr std::uint32_t ChipColour = 0xE1192526;
inline constexpr std::uint32_t White = 0xFFFFFFFF;

// The whole comparison from appState into rect (world units of the surface). Leaves the
// surface's clip and interpolation mode as it found them.
void drawComparison(Gdiplus::Graphics& graphics, const Gdiplus::RectF& rect, bool showKnob);

// One photo contain-fitted into rect, then zoomed and panned by appState's view. An empty
// pointer draws nothing.
void drawPhotoFitted(Gdiplus::Graphics& graphics, std::shared_ptr<ImageData> photo,
                     const Gdiplus::RectF& rect);

// One line of "Segoe UI" at sizePx world pixels, no wrapping, cut with an ellipsis,
// left and top aligned in box.
void drawLabel(Gdiplus::Graphics& graphics, const std::wstring& text, const Gdiplus::RectF& box,
               float sizePx, std::uint32_t argb, bool bold);
