// Turns mouse, wheel, key and slider input on the comparison view into changes of the view
// fields and a list of effects for the window layer. All arithmetic is single precision, so
// that the same input gives the same divider and zoom on every build.
#include "core/view_controller.h"

#include "app/layout.h"

#include <algorithm>
#include <utility>

namespace {

constexpr float MinZoom = 1.0f;
constexpr float MaxZoom = 8.0f;
constexpr float WheelStepIn = 1.2f;
constexpr float WheelStepOut = 0.8333333f;
constexpr float ArrowStep = 0.02f;
constexpr float PanKeyStep = 0.1f;
constexpr std::int32_t SliderMax = 1000;
constexpr std::int32_t SliderCentre = 500;

// Written so that a NaN lands on the lower bound instead of passing through.
float clampFloat(float value, float low, float high) {
    if (!(value >= low)) {
        return low;
    }
    return value > high ? high : value;
}

float panLimit(float zoom) {
    return (zoom - 1.0f) * 0.5f;
}

void clampPan(AppState& state) {
    const float limit = panLimit(state.zoom);
    state.panX = clampFloat(state.panX, -limit, limit);
    state.panY = clampFloat(state.panY, -limit, limit);
}

// One wheel step, also taken by the zoom keys.
void zoomBy(AppState& state, float factor, ViewEffects& effects) {
    state.zoom = clampFloat(state.zoom * factor, MinZoom, MaxZoom);
    // Zooming keeps the photos' centre; only this clamp can shift them.
    clampPan(state);
    effects.push_back({ViewEffectKind::RepaintWindow});
}

// A pan key moves the view over the photos the way a scroll bar does: Shift + Right shows
// more of their right side, so the photos themselves go left.
void panBy(AppState& state, float dx, float dy, ViewEffects& effects) {
    const float limit = panLimit(state.zoom);
    state.panX = clampFloat(state.panX - dx, -limit, limit);
    state.panY = clampFloat(state.panY - dy, -limit, limit);
    effects.push_back({ViewEffectKind::RepaintWindow});
}

void moveDividerTo(AppState& state, float value, ViewEffects& effects) {
    state.dividerPos = clampFloat(value, 0.0f, 1.0f);
    effects.push_back({ViewEffectKind::SetSlider, sliderPositionFor(state.dividerPos)});
    effects.push_back({ViewEffectKind::RepaintWindow});
}

float dividerAtPixel(const AppState& state, const ViewRect& view, std::int32_t x) {
    return (static_cast<float>(x) / state.uiScale - view.left) / view.width;
}

bool pixelInView(const AppState& state, const ViewRect& view, std::int32_t x, std::int32_t y) {
    return view.contains(static_cast<float>(x) / state.uiScale,
                         static_cast<float>(y) / state.uiScale);
}

} // namespace

ViewRect viewRect(const AppState& state, std::int32_t clientWidthPx, std::int32_t clientHeightPx) {
    const float width = static_cast<float>(clientWidthPx) / state.uiScale;
    const float height = static_cast<float>(clientHeightPx) / state.uiScale;
    const LayoutBox& view = MainBox::View;
    return {view.x.at(width, height), view.y.at(width, height), view.width.at(width, height),
            view.height.at(width, height)};
}

std::int32_t sliderPositionFor(float dividerPos) {
    return static_cast<std::int32_t>(clampFloat(dividerPos, 0.0f, 1.0f) * 1000.0f);
}

ViewEffects pressInView(AppState& state, std::int32_t x, std::int32_t y, bool shiftDown,
                        std::int32_t clientWidthPx, std::int32_t clientHeightPx) {
    ViewEffects effects;
    const ViewRect view = viewRect(state, clientWidthPx, clientHeightPx);
    if (!pixelInView(state, view, x, y)) {
        return effects;
    }
    effects.push_back({ViewEffectKind::FocusMainWindow});
    effects.push_back({ViewEffectKind::CaptureMouse});
    state.dragging = true;
    state.dragIsPan = shiftDown;
    state.lastMouseX = x;
    state.lastMouseY = y;
    if (!state.dragIsPan) {
        moveDividerTo(state, dividerAtPixel(state, view, x), effects);
    }
    return effects;
}

ViewEffects moveMouse(AppState& state, std::int32_t x, std::int32_t y, std::int32_t clientWidthPx,
                      std::int32_t clientHeightPx) {
    ViewEffects effects;
    if (!state.dragging) {
        return effects;
    }
    const ViewRect view = viewRect(state, clientWidthPx, clientHeightPx);
    // A minimized window reports an empty client area; dividing by its view would give
    // infinities or NaN, so such a move is ignored until the window has a size again.
    if (!(view.width > 0.0f) || !(view.height > 0.0f)) {
        return effects;
    }
    if (!state.dragIsPan) {
        moveDividerTo(state, dividerAtPixel(state, view, x), effects);
        return effects;
    }
    const float limit = panLimit(state.zoom);
    const float dx = static_cast<float>(x - state.lastMouseX) / state.uiScale;
    const float dy = static_cast<float>(y - state.lastMouseY) / state.uiScale;
    state.panX = clampFloat(state.panX + dx / view.width, -limit, limit);
    state.panY = clampFloat(state.panY + dy / view.height, -limit, limit);
    state.lastMouseX = x;
    state.lastMouseY = y;
    effects.push_back({ViewEffectKind::RepaintWindow});
    return effects;
}

ViewEffects releaseButton(AppState& state) {
    ViewEffects effects;
    if (state.dragging) {
        state.dragging = false;
        effects.push_back({ViewEffectKind::ReleaseMouse});
    }
    return effects;
}

ViewEffects captureLost(AppState& state) {
    state.dragging = false;
    return {};
}

ViewEffects turnWheel(AppState& state, std::int32_t x, std::int32_t y, bool deltaPositive,
                      std::int32_t clientWidthPx, std::int32_t clientHeightPx) {
    ViewEffects effects;
    const ViewRect view = viewRect(state, clientWidthPx, clientHeightPx);
    if (!pixelInView(state, view, x, y)) {
        return effects;
    }
    zoomBy(state, deltaPositive ? WheelStepIn : WheelStepOut, effects);
    return effects;
}

ViewEffects pressKey(AppState& state, std::int32_t virtualKey, bool shiftDown) {
    ViewEffects effects;
    if (shiftDown) {
        switch (virtualKey) {
        case KeyLeft:
            panBy(state, -PanKeyStep, 0.0f, effects);
            return effects;
        case KeyRight:
            panBy(state, PanKeyStep, 0.0f, effects);
            return effects;
        case KeyUp:
            panBy(state, 0.0f, -PanKeyStep, effects);
            return effects;
        case KeyDown:
            panBy(state, 0.0f, PanKeyStep, effects);
            return effects;
        default:
            break;
        }
    }
    switch (virtualKey) {
    case KeyEscape:
        effects.push_back({ViewEffectKind::HideToTray});
        break;
    case KeyLeft:
        moveDividerTo(state, state.dividerPos - ArrowStep, effects);
        break;
    case KeyRight:
        moveDividerTo(state, state.dividerPos + ArrowStep, effects);
        break;
    // On many keyboards + needs Shift on the main block; it zooms either way.
    case KeyPlus:
    case KeyPadPlus:
        zoomBy(state, WheelStepIn, effects);
        break;
    case KeyMinus:
    case KeyPadMinus:
        zoomBy(state, WheelStepOut, effects);
        break;
    default:
        break;
    }
    return effects;
}

ViewEffects sliderMoved(AppState& state, std::int32_t position) {
    // The slider's own range keeps the position in 0..1000; the clamp only guards the
    // divider against a message that did not come from it.
    const std::int32_t clamped = std::clamp(position, std::int32_t{0}, SliderMax);
    state.dividerPos = static_cast<float>(clamped) / 1000.0f;
    return {{ViewEffectKind::RepaintWindow}};
}

ViewEffects swapSides(AppState& state) {
    ViewEffects effects;
    advanceGeneration(state);
    std::swap(state.firstImage, state.secondImage);
    std::swap(state.firstYear, state.secondYear);
    std::swap(state.firstCatalogIndex, state.secondCatalogIndex);
    effects.push_back({ViewEffectKind::SyncYearControls});
    moveDividerTo(state, 1.0f - state.dividerPos, effects);
    return effects;
}

void advanceGeneration(AppState& state) {
    // Unsigned arithmetic wraps instead of overflowing; the counter is only ever compared.
    state.generation = static_cast<std::int32_t>(static_cast<std::uint32_t>(state.generation) + 1u);
}

ViewEffects resetView(AppState& state) {
    state.dividerPos = 0.5f;
    state.zoom = 1.0f;
    state.panY = 0.0f;
    state.panX = 0.0f;
    return {{ViewEffectKind::SetSlider, SliderCentre}};
}

ViewEffects fitView(AppState& state) {
    ViewEffects effects = resetView(state);
    effects.push_back({ViewEffectKind::RepaintWindow});
    return effects;
}
