// Placement of the main window's controls in device-independent units, as a table computed
// from the client size, and the conversion of units to device pixels.
#pragma once

#include <array>
#include <cstdint>

// round(value * appState.uiScale), halves away from zero.
std::int32_t scaled(float value);
// The same rounding for an explicit scale.
std::int32_t scaledBy(float value, float scale);

// One coordinate of the layout table: constant + perWidth * W + perHeight * H, where W and H
// are the client size in device-independent units.
struct LayoutTerm {
    float constant;
    float perWidth = 0.0f;
    float perHeight = 0.0f;
    float at(float width, float height) const {
        return constant + perWidth * width + perHeight * height;
    }
};

struct LayoutRow {
    int id;
    LayoutTerm x;
    LayoutTerm y;
    LayoutTerm width;
    LayoutTerm height;
};

// A control's rectangle in device-independent units.
struct UnitRect {
    int id;
    float x;
    float y;
    float width;
    float height;
};

inline constexpr std::size_t LayoutRowCount = 17; // the three place buttons have a row each
extern const std::array<LayoutRow, LayoutRowCount> MainLayout;

// The table's rectangles, in table order, for a client area of the given size in pixels.
std::array<UnitRect, LayoutRowCount> layoutFor(std::int32_t clientWidthPx,
                                               std::int32_t clientHeightPx, float scale);

// The smallest outer size the main window may be dragged to, in device-independent units.
inline constexpr float MinWindowWidth = 1050.0f;
inline constexpr float MinWindowHeight = 750.0f;
// Height of the bottom strip the clock timer repaints.
inline constexpr float ClockStripHeight = 42.0f;
