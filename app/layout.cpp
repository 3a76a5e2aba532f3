// The main window's layout table and the unit-to-pixel rounding every layout number goes
// through.
#include "app/layout.h"

#include "app/control_ids.h"
#include "core/app_state.h"

#include <cmath>

std::int32_t scaledBy(float value, float scale) {
    // lround rounds halves away from zero, which keeps 292.5 -> 293 and -0.5 -> -1.
    return static_cast<std::int32_t>(std::lround(static_cast<double>(value) * scale));
}

std::int32_t scaled(float value) {
    return scaledBy(value, appState.uiScale);
}

namespace {
constexpr LayoutTerm fixed(float value) {
    return LayoutTerm{value};
}
constexpr LayoutTerm fromRight(float value) {
    return LayoutTerm{-value, 1.0f};
}
constexpr LayoutTerm fromBottom(float value) {
    return LayoutTerm{-value, 0.0f, 1.0f};
}
} // namespace

const std::array<LayoutRow, LayoutRowCount> MainLayout = {{
    {IDC_PLACE_FIRST + 0, fixed(20), fixed(195), fixed(206), fixed(36)},
    {IDC_PLACE_FIRST + 1, fixed(20), fixed(239), fixed(206), fixed(36)},
    {IDC_PLACE_FIRST + 2, fixed(20), fixed(283), fixed(206), fixed(36)},
    {IDC_LOCAL_PHOTOS, fixed(20), fixed(492), fixed(206), fixed(38)},
    {IDC_SAVED_PAIRS, fixed(20), fixed(380), fixed(206), fixed(100)},
    // The combo boxes' heights include their drop-down lists.
    {IDC_FIRST_YEAR, fixed(274), fixed(140), fixed(108), fixed(200)},
    {IDC_SECOND_YEAR, fixed(397), fixed(140), fixed(108), fixed(200)},
    {IDC_LOAD_YEARS, fixed(523), fixed(139), fixed(127), fixed(35)},
    {IDC_FETCH, fixed(662), fixed(139), fixed(171), fixed(35)},
    {IDC_HELP, fromRight(196), fixed(28), fixed(74), fixed(32)},
    {IDC_HIDE_TO_TRAY, fromRight(115), fixed(28), fixed(90), fixed(32)},
    {IDC_COMPARISON, fixed(338), fromBottom(119), fromRight(432), fixed(32)},
    {IDC_SAVE_PAIR, fixed(274), fromBottom(80), fixed(135), fixed(32)},
    {IDC_EXPORT_PNG, fixed(421), fromBottom(80), fixed(150), fixed(32)},
    {IDC_SWAP, fixed(583), fromBottom(80), fixed(100), fixed(32)},
    {IDC_FIT, fromRight(124), fromBottom(80), fixed(100), fixed(32)},
    {IDC_OPEN_FOLDER, fixed(20), fromBottom(82), fixed(206), fixed(28)},
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
