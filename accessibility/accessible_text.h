// What the main window tells screen readers, built from the state it paints from: the names
// and values its accessible objects give, and where each painted part lies, so that a
// reader's hit test finds the part the eye sees. Free of Windows; the objects that answer
// with these live in app/accessibility_win.cpp.
#pragma once

#include "app/layout.h"
#include "core/app_state.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The parts of the main window that are painted, not child controls, in reading order.
enum class PaintedPart {
    Caption,
    SourceLine,
    View,
    Zoom,
    Status,
    Clock,
};
inline constexpr std::array<PaintedPart, 6> PaintedParts = {
    PaintedPart::Caption, PaintedPart::SourceLine, PaintedPart::View,
    PaintedPart::Zoom,    PaintedPart::Status,     PaintedPart::Clock};

// The two years as the bottom strip shows them, first / second: "2000 / 2018".
std::wstring pairYearsText(std::int32_t firstYear, std::int32_t secondYear);

// The comparison view's name: caption, comma, the two years: "Aral Sea, 2000 / 2018".
std::wstring viewName(std::wstring_view caption, std::int32_t firstYear, std::int32_t secondYear);

// The share of the view that shows the first photo, in tenths of a percent rounded half away
// from zero, with the language's decimal sign and "%": 0.643 reads "64.3%" in English and
// "64,3%" in German. Tenths, because the slider moves a thousandth per step and every step
// should read as a change. Out of range or not a number reads as the nearest end.
std::wstring dividerPercentText(float dividerPos, std::int32_t languageIndex = 0);

// The view's description: the keys that work while it has the focus.
const wchar_t* viewDescription(std::int32_t languageIndex);

// The default action of a saved pair in the list: it opens the pair.
const wchar_t* openActionName(std::int32_t languageIndex);

// The saved-pairs list's name: its painted heading in normal case ("Saved pairs").
const wchar_t* savedPairsListName(std::int32_t languageIndex);

// The text a painted part shows now. The clock is read by the caller, who owns the time.
std::wstring paintedPartText(PaintedPart part, const AppState& state, std::wstring_view clock);

// Where the part is drawn, in client pixels, for a client area of the given size: the box
// the painting uses, scaled by uiScale with each edge rounded as the layout rounds.
PixelRect paintedPartPixels(PaintedPart part, const AppState& state, std::int32_t clientWidthPx,
                            std::int32_t clientHeightPx);

// The painted part whose pixel box holds the client point (half-open on the right and bottom
// edges), if any.
std::optional<PaintedPart> paintedPartAt(const AppState& state, std::int32_t x, std::int32_t y,
                                         std::int32_t clientWidthPx, std::int32_t clientHeightPx);
