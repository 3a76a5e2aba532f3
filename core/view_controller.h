// The input side of the comparison view: mouse, wheel, keyboard and slider input and the
// Swap and Fit commands as operations over the state and plain numbers. Each returns the
// effects the window layer must carry out, in order.
#pragma once

#include "core/app_state.h"

#include <cstdint>
#include <vector>

enum class ViewEffectKind {
    SetSlider,        // set the slider position (with redraw) to ViewEffect::sliderPosition
    RepaintWindow,    // invalidate the whole main window without erasing
    CaptureMouse,     // capture the mouse for the main window
    ReleaseMouse,     // release the mouse capture
    FocusMainWindow,  // give the keyboard focus to the main window
    HideToTray,       // hide the main window to the notification area
    SyncYearControls, // bring the year lists and buttons in step with the pair
};

struct ViewEffect {
    ViewEffectKind kind;
    std::int32_t sliderPosition = 0;
    bool operator==(const ViewEffect&) const = default;
};

using ViewEffects = std::vector<ViewEffect>;

// The comparison view in device-independent units for a client area of the given size
// in pixels. Computed afresh each time; half-open on the right and bottom edges.
struct ViewRect {
    float left;
    float top;
    float width;
    float height;
    bool contains(float x, float y) const {
        return x >= left && x < left + width && y >= top && y < top + height;
    }
};
ViewRect viewRect(const AppState& state, std::int32_t clientWidthPx, std::int32_t clientHeightPx);

// Virtual keys the controller acts on (values of VK_ESCAPE, VK_LEFT, VK_UP, VK_RIGHT,
// VK_DOWN, VK_ADD, VK_SUBTRACT, VK_OEM_PLUS and VK_OEM_MINUS).
inline constexpr std::int32_t KeyEscape = 0x1B;
inline constexpr std::int32_t KeyLeft = 0x25;
inline constexpr std::int32_t KeyUp = 0x26;
inline constexpr std::int32_t KeyRight = 0x27;
inline constexpr std::int32_t KeyDown = 0x28;
inline constexpr std::int32_t KeyPadPlus = 0x6B;
inline constexpr std::int32_t KeyPadMinus = 0x6D;
inline constexpr std::int32_t KeyPlus = 0xBB;
inline constexpr std::int32_t KeyMinus = 0xBD;

// Coordinates are client pixels; the client size is in pixels too.
ViewEffects pressInView(AppState& state, std::int32_t x, std::int32_t y, bool shiftDown,
                        std::int32_t clientWidthPx, std::int32_t clientHeightPx);
ViewEffects moveMouse(AppState& state, std::int32_t x, std::int32_t y, std::int32_t clientWidthPx,
                      std::int32_t clientHeightPx);
ViewEffects releaseButton(AppState& state);
ViewEffects captureLost(AppState& state);
ViewEffects turnWheel(AppState& state, std::int32_t x, std::int32_t y, bool deltaPositive,
                      std::int32_t clientWidthPx, std::int32_t clientHeightPx);
// A key while the main window itself has the focus. Escape hides; Left and Right step the
// divider; with Shift the arrow keys pan by a tenth of the view instead; + and - (main
// keyboard or keypad, Shift or not) zoom by the wheel's steps.
ViewEffects pressKey(AppState& state, std::int32_t virtualKey, bool shiftDown);
ViewEffects sliderMoved(AppState& state, std::int32_t position);
ViewEffects swapSides(AppState& state);
ViewEffects fitView(AppState& state);
// Divider, zoom and pan back to their defaults and the slider to 500; no repaint.
ViewEffects resetView(AppState& state);
// generation + 1, wrapping from the largest value to the smallest: a pair change that a
// running download must notice. Swap and installPair both advance it.
void advanceGeneration(AppState& state);

// Slider position for a divider value: d * 1000 truncated toward zero.
std::int32_t sliderPositionFor(float dividerPos);
