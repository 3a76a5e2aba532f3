// The main window's geometry in device-independent units, in one place: the controls'
// table, the comparison view, the painted boxes and the window sizes; and the conversion of
// units to device pixels. Colours live beside it in core/palette.h.
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

constexpr LayoutTerm fixedAt(float value) {
    return LayoutTerm{value};
}
constexpr LayoutTerm fromRight(float value) {
    return LayoutTerm{-value, 1.0f};
}
constexpr LayoutTerm fromBottom(float value) {
    return LayoutTerm{-value, 0.0f, 1.0f};
}

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

// A rectangle in device-independent units whose edges may follow the client size.
struct LayoutBox {
    LayoutTerm x;
    LayoutTerm y;
    LayoutTerm width;
    LayoutTerm height;
};

// The boxes the window paints itself, each (x, y, width, height) for client units W x H.
namespace MainBox {
inline constexpr LayoutBox View{fixedAt(274), fixedAt(192), fromRight(302), fromBottom(355)};
inline constexpr float PanelWidth = 246.0f;
inline constexpr float HeaderHeight = 145.0f;
// The header gradient runs from the panel's top left corner to this point.
inline constexpr float HeaderGradientX = 246.0f;
inline constexpr float HeaderGradientY = 140.0f;
inline constexpr LayoutBox Title{fixedAt(22), fixedAt(23), fixedAt(215), fixedAt(40)};
inline constexpr LayoutBox Tagline{fixedAt(23), fixedAt(69), fixedAt(212), fixedAt(40)};
inline constexpr LayoutBox FieldNotes{fixedAt(23), fixedAt(116), fixedAt(205), fixedAt(20)};
inline constexpr LayoutBox ArchiveHeading{fixedAt(22), fixedAt(165), fixedAt(208), fixedAt(22)};
inline constexpr LayoutBox SavedPairsHeading{fixedAt(22), fixedAt(349), fixedAt(208), fixedAt(22)};
inline constexpr LayoutBox OfflineNote{fixedAt(22), fromBottom(126), fixedAt(202), fixedAt(43)};
inline constexpr LayoutBox LanguageName{fixedAt(22), fromBottom(48), fixedAt(190), fixedAt(22)};
inline constexpr LayoutBox Caption{fixedAt(274), fixedAt(22), fromRight(540), fixedAt(46)};
inline constexpr LayoutBox SourceLine{fixedAt(276), fixedAt(71), fromRight(320), fixedAt(28)};
inline constexpr LayoutBox FirstYearLabel{fixedAt(274), fixedAt(113), fixedAt(110), fixedAt(23)};
inline constexpr LayoutBox SecondYearLabel{fixedAt(397), fixedAt(113), fixedAt(110), fixedAt(23)};
// Nine units under the view, as wide as the view.
inline constexpr LayoutBox ViewHint{fixedAt(274), fromBottom(154), fromRight(302), fixedAt(24)};
inline constexpr LayoutBox FirstYear{fixedAt(274), fromBottom(115), fixedAt(67), fixedAt(24)};
inline constexpr LayoutBox SecondYear{fromRight(83), fromBottom(115), fixedAt(60), fixedAt(24)};
inline constexpr LayoutBox Zoom{fromRight(260), fromBottom(73), fixedAt(120), fixedAt(24)};
// The rule above the status line: a line from (x, y) to (x + width, y).
inline constexpr LayoutBox Rule{fixedAt(270), fromBottom(43), fromRight(295), fixedAt(0)};
inline constexpr LayoutBox Status{fixedAt(274), fromBottom(39), fromRight(595), fixedAt(38)};
inline constexpr LayoutBox Clock{fromRight(302), fromBottom(35), fixedAt(278), fixedAt(27)};
} // namespace MainBox

// The main window's outer size at start and the smallest it may be dragged to, in
// device-independent units; both give way to a smaller work area of the window's monitor.
inline constexpr float InitialWindowWidth = 1220.0f;
inline constexpr float InitialWindowHeight = 850.0f;
inline constexpr float MinWindowWidth = 1050.0f;
inline constexpr float MinWindowHeight = 750.0f;
// Height of the bottom strip the clock timer repaints.
inline constexpr float ClockStripHeight = 42.0f;

// A rectangle in device pixels.
struct PixelRect {
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;
    std::int32_t bottom;
};

// The window rectangle wanted shrunk to fit the work area and moved inside it; a rectangle
// that already fits stays where it is.
PixelRect fitIntoWorkArea(PixelRect wanted, PixelRect workArea);
