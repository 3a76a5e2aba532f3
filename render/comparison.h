// Draws the two photos of the pair over each other in one rectangle, split at the divider,
// with the divider line, its knob and the year chips; and the one-line text drawing the
// window painting shares. Windows only.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include "core/palette.h"

#include <cstdint>
#include <memory>
#include <string>

struct ImageData;

// The fixed colours: view background (behind and beside the photos), divider, year chips.
inline constexpr std::uint32_t ViewBackground = FixedComparisonColours.background;
inline constexpr std::uint32_t DividerColour = FixedComparisonColours.divider;
inline constexpr std::uint32_t ChipColour = FixedComparisonColours.chip;
inline constexpr std::uint32_t White = 0xFFFFFFFF;

// The whole comparison from appState into rect (world units of the surface), in the given
// colours or the fixed ones. Leaves the surface's clip and interpolation mode as it found
// them.
void drawComparison(Gdiplus::Graphics& graphics, const Gdiplus::RectF& rect, bool showKnob,
                    const ComparisonColours& colours = FixedComparisonColours);

// One photo contain-fitted into rect, then zoomed and panned by appState's view. An empty
// pointer draws nothing.
void drawPhotoFitted(Gdiplus::Graphics& graphics, std::shared_ptr<ImageData> photo,
                     const Gdiplus::RectF& rect);

// One line of "Segoe UI" at sizePx world pixels, no wrapping, cut with an ellipsis,
// left and top aligned in box.
void drawLabel(Gdiplus::Graphics& graphics, const std::wstring& text, const Gdiplus::RectF& box,
               float sizePx, std::uint32_t argb, bool bold);
