// The main window's layout table and the unit-to-pixel rounding every layout number goes
// through.
#include "app/layout.h"

#include "app/control_ids.h"
#include "core/app_state.h"

#include <algorithm>
#include <cmath>

std::int32_t scaledBy(float value, float scale) {
    // lround rounds halves away from zero, which keeps 292.5 -> 293 and -0.5 -> -1.
    return static_cast<std::int32_t>(std::lround(static_cast<double>(value) * scale));
}

std::int32_t scaled(float value) {
    return scaledBy(value, appState.uiScale);
}

const std::array<LayoutRow, LayoutRowCount> MainLayout = {{
    {IDC_PLACE_FIRST + 0, fixedAt(20), fixedAt(195), fixedAt(206), fixedAt(36)},
    {IDC_PLACE_FIRST + 1, fixedAt(20), fixedAt(239), fixedAt(206), fixedAt(36)},
    {IDC_PLACE_FIRST + 2, fixedAt(20), fixedAt(283), fixedAt(206), fixedAt(36)},
    {IDC_LOCAL_PHOTOS, fixedAt(20), fixedAt(492), fixedAt(206), fixedAt(38)},
    {IDC_SAVED_PAIRS, fixedAt(20), fixedAt(380), fixedAt(206), fixedAt(100)},
    // The combo boxes' heights include their drop-down lists.
    {IDC_FIRST_YEAR, fixedAt(274), fixedAt(140), fixedAt(108), fixedAt(200)},
    {IDC_SECOND_YEAR, fixedAt(397), fixedAt(140), fixedAt(108), fixedAt(200)},
    {IDC_LOAD_YEARS, fixedAt(523), fixedAt(139), fixedAt(127), fixedAt(35)},
    {IDC_FETCH, fixedAt(662), fixedAt(139), fixedAt(171), fixedAt(35)},
    {IDC_HELP, fromRight(196), fixedAt(28), fixedAt(74), fixedAt(32)},
    {IDC_HIDE_TO_TRAY, fromRight(115), fixedAt(28), fixedAt(90), fixedAt(32)},
    {IDC_COMPARISON, fixedAt(338), fromBottom(119), fromRight(432), fixedAt(32)},
    {IDC_SAVE_PAIR, fixedAt(274), fromBottom(80), fixedAt(135), fixedAt(32)},
    {IDC_EXPORT_PNG, fixedAt(421), fromBottom(80), fixedAt(150), fixedAt(32)},
    {IDC_SWAP, fixedAt(583), fromBottom(80), fixedAt(100), fixedAt(32)},
    {IDC_FIT, fromRight(124), fromBottom(80), fixedAt(100), fixedAt(32)},
    {IDC_OPEN_FOLDER, fixedAt(20), fromBottom(82), fixedAt(206), fixedAt(28)},
}};

std::array<UnitRect, LayoutRowCount> layoutFor(std::int32_t clientWidthPx,
                                               std::int32_t clientHeightPx, float scale) {
    const float width = static_cast<float>(clientWidthPx) / scale;
    const float height = static_cast<float>(clientHeightPx) / scale;
    std::array<UnitRect, LayoutRowCount> rects{};
    for (std::size_t i = 0; i < LayoutRowCount; ++i) {
        const LayoutRow& row = MainLayout[i];
        rects[i] = UnitRect{row.id, row.x.at(width, height), row.y.at(width, height),
                            row.width.at(width, height), row.height.at(width, height)};
    }
    return rects;
}

PixelRect fitIntoWorkArea(PixelRect wanted, PixelRect workArea) {
    const std::int32_t workWidth = std::max(workArea.right - workArea.left, 0);
    const std::int32_t workHeight = std::max(workArea.bottom - workArea.top, 0);
    const std::int32_t width = std::min(wanted.right - wanted.left, workWidth);
    const std::int32_t height = std::min(wanted.bottom - wanted.top, workHeight);
    // Shift back inside from the far edges first, so that the near edges win when both
    // stick out.
    std::int32_t left = std::min(wanted.left, workArea.right - width);
    std::int32_t top = std::min(wanted.top, workArea.bottom - height);
    left = std::max(left, workArea.left);
    top = std::max(top, workArea.top);
    return {left, top, left + width, top + height};
}
