// Tests of the comparison view's input handling: divider, wheel zoom, panning, keys,
// slider, Swap and Fit, with the exact effects each input asks of the window layer.
#include "core/view_controller.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <random>

namespace {

// At scale 1 this client area gives the view left 274, top 192, width 1000, height 500.
constexpr std::int32_t ClientWidth = 1302;
constexpr std::int32_t ClientHeight = 855;
constexpr std::int32_t ViewLeftPx = 274;
constexpr std::int32_t ViewRightPx = 1274;
constexpr std::int32_t ViewMiddleY = 400;

const ViewEffect Focus{ViewEffectKind::FocusMainWindow};
const ViewEffect Capture{ViewEffectKind::CaptureMouse};
const ViewEffect Release{ViewEffectKind::ReleaseMouse};
const ViewEffect Repaint{ViewEffectKind::RepaintWindow};
const ViewEffect Hide{ViewEffectKind::HideToTray};
const ViewEffect Sync{ViewEffectKind::SyncYearControls};
ViewEffect slider(std::int32_t position) {
    return {ViewEffectKind::SetSlider, position};
}

ViewEffects press(AppState& state, std::int32_t x, std::int32_t y, bool shift = false) {
    return pressInView(state, x, y, shift, ClientWidth, ClientHeight);
}
ViewEffects move(AppState& state, std::int32_t x, std::int32_t y) {
    return moveMouse(state, x, y, ClientWidth, ClientHeight);
}
ViewEffects wheel(AppState& state, bool in, std::int32_t x = 700, std::int32_t y = ViewMiddleY) {
    return turnWheel(state, x, y, in, ClientWidth, ClientHeight);
}

float panLimitOf(float zoom) {
    return (zoom - 1.0f) * 0.5f;
}

// Photos are only compared by identity here, so a pointer into a shared owner stands in
// for a decoded one.
std::shared_ptr<ImageData> markerImage(const std::shared_ptr<int>& owner) {
    return std::shared_ptr<ImageData>(owner, reinterpret_cast<ImageData*>(owner.get()));
}

} // namespace

TEST(ViewControllerRect, ComputedFromClientSizeAndScale) {
    AppState state;
    const ViewRect atOne = viewRect(state, ClientWidth, ClientHeight);
    EXPECT_EQ(atOne.left, 274.0f);
    EXPECT_EQ(atOne.top, 192.0f);
    EXPECT_EQ(atOne.width, 1000.0f);
    EXPECT_EQ(atOne.height, 500.0f);
    EXPECT_TRUE(atOne.contains(274.0f, 192.0f));
    EXPECT_FALSE(atOne.contains(1274.0f, 300.0f));
    EXPECT_FALSE(atOne.contains(300.0f, 692.0f));
    EXPECT_FALSE(atOne.contains(273.9f, 300.0f));

    state.uiScale = 1.5f;
    const ViewRect atOneAndHalf = viewRect(state, 1800, 1350);
    EXPECT_EQ(atOneAndHalf.left, 274.0f);
    EXPECT_EQ(atOneAndHalf.top, 192.0f);
    EXPECT_EQ(atOneAndHalf.width, 898.0f);
    EXPECT_EQ(atOneAndHalf.height, 545.0f);
}

TEST(ViewControllerPress, AtLeftEdgeMovesDividerToZeroAndStartsDrag) {
    AppState state;
    const ViewEffects effects = press(state, ViewLeftPx, 300);
    EXPECT_EQ(effects, (ViewEffects{Focus, Capture, slider(0), Repaint}));
    EXPECT_EQ(state.dividerPos, 0.0f);
    EXPECT_TRUE(state.dragging);
    EXPECT_FALSE(state.dragIsPan);
    EXPECT_EQ(state.lastMouseX, ViewLeftPx);
    EXPECT_EQ(state.lastMouseY, 300);
}

TEST(ViewControllerPress, OutsideTheHalfOpenViewDoesNothing) {
    const std::int32_t outside[][2] = {
        {ViewRightPx, 300}, {ViewLeftPx - 1, 300}, {600, 191}, {600, 692}, {100, 100}};
    for (const auto& point : outside) {
        AppState state;
        EXPECT_TRUE(press(state, point[0], point[1]).empty()) << point[0] << "," << point[1];
        EXPECT_FALSE(state.dragging);
        EXPECT_EQ(state.dividerPos, 0.5f);
        EXPECT_EQ(state.lastMouseX, 0);
    }
}

TEST(ViewControllerPress, OneUnitInsideRightEdgeIsJustBelowOne) {
    AppState state;
    const ViewEffects effects = press(state, ViewRightPx - 1, 691);
    EXPECT_LT(state.dividerPos, 1.0f);
    EXPECT_GT(state.dividerPos, 0.998f);
    EXPECT_EQ(effects, (ViewEffects{Focus, Capture, slider(999), Repaint}));
}

TEST(ViewControllerPress, WithShiftStartsPanWithoutMovingDivider) {
    AppState state;
    state.dividerPos = 0.25f;
    const ViewEffects effects = press(state, 900, 450, true);
    EXPECT_EQ(effects, (ViewEffects{Focus, Capture}));
    EXPECT_EQ(state.dividerPos, 0.25f);
    EXPECT_TRUE(state.dragging);
    EXPECT_TRUE(state.dragIsPan);
    EXPECT_EQ(state.lastMouseX, 900);
    EXPECT_EQ(state.lastMouseY, 450);
}

TEST(ViewControllerDrag, DividerSticksAtEdgesBeyondTheWindow) {
    AppState state;
    press(state, 500, ViewMiddleY);
    EXPECT_EQ(move(state, -32768, -200), (ViewEffects{slider(0), Repaint}));
    EXPECT_EQ(state.dividerPos, 0.0f);
    EXPECT_EQ(move(state, 32767, 2000), (ViewEffects{slider(1000), Repaint}));
    EXPECT_EQ(state.dividerPos, 1.0f);
    EXPECT_EQ(move(state, 774, ViewMiddleY), (ViewEffects{slider(500), Repaint}));
    EXPECT_EQ(state.dividerPos, 0.5f);
}

TEST(ViewControllerDrag, ReleaseEndsDragOnceAndKeepsLastPosition) {
    AppState state;
    press(state, 900, 450, true);
    EXPECT_EQ(releaseButton(state), (ViewEffects{Release}));
    EXPECT_FALSE(state.dragging);
    EXPECT_TRUE(state.dragIsPan);
    EXPECT_EQ(state.lastMouseX, 900);
    EXPECT_EQ(state.lastMouseY, 450);
    EXPECT_TRUE(releaseButton(state).empty());
    EXPECT_TRUE(move(state, 300, 300).empty());
    EXPECT_EQ(state.lastMouseX, 900);
}

TEST(ViewControllerDrag, CaptureLostStopsDragWithoutEffects) {
    AppState state;
    press(state, 600, ViewMiddleY);
    const float divider = state.dividerPos;
    EXPECT_TRUE(captureLost(state).empty());
    EXPECT_FALSE(state.dragging);
    EXPECT_TRUE(move(state, 1000, ViewMiddleY).empty());
    EXPECT_EQ(state.dividerPos, divider);
    EXPECT_TRUE(releaseButton(state).empty());
}

TEST(ViewControllerDrag, ModeIsFixedAtThePress) {
    AppState state;
    state.zoom = 3.0f;
    press(state, 500, ViewMiddleY);
    move(state, 800, 600);
    EXPECT_FALSE(state.dragIsPan);
    EXPECT_EQ(state.panX, 0.0f);
    EXPECT_EQ(state.panY, 0.0f);
    EXPECT_FLOAT_EQ(state.dividerPos, 0.526f);
    releaseButton(state);

    press(state, 500, ViewMiddleY, true);
    const float divider = state.dividerPos;
    move(state, 800, 600);
    EXPECT_EQ(state.dividerPos, divider);
    EXPECT_FLOAT_EQ(state.panX, 0.3f);
    EXPECT_FLOAT_EQ(state.panY, 0.4f);
}

TEST(ViewControllerPan, AtZoomOneStaysCentredButTracksPointer) {
    AppState state;
    press(state, 600, ViewMiddleY, true);
    EXPECT_EQ(move(state, 700, 450), (ViewEffects{Repaint}));
    EXPECT_EQ(state.panX, 0.0f);
    EXPECT_EQ(state.panY, 0.0f);
    EXPECT_EQ(state.lastMouseX, 700);
    EXPECT_EQ(state.lastMouseY, 450);
    EXPECT_EQ(state.dividerPos, 0.5f);
}

TEST(ViewControllerPan, FollowsPointerOneToOne) {
    AppState state;
    state.zoom = 8.0f;
    press(state, 600, ViewMiddleY, true);
    move(state, 700, 450);
    EXPECT_EQ(state.panX, 0.1f);
    EXPECT_EQ(state.panY, 0.1f);
    move(state, 650, 400);
    EXPECT_FLOAT_EQ(state.panX, 0.05f);
    EXPECT_FLOAT_EQ(state.panY, 0.0f);
}

TEST(ViewControllerPan, LimitFollowsZoomInAndOut) {
    AppState state;
    float expectedZoom = 1.0f;
    for (int step = 0; step < 4; ++step) {
        wheel(state, true);
        expectedZoom = expectedZoom * 1.2f;
    }
    EXPECT_EQ(state.zoom, expectedZoom);
    press(state, 300, 300, true);
    move(state, 5000, 300);
    EXPECT_EQ(state.panX, panLimitOf(state.zoom));
    EXPECT_NEAR(state.panX, 0.5368f, 1e-4f);
    EXPECT_EQ(state.panY, 0.0f);
    move(state, -5000, -5000);
    EXPECT_EQ(state.panX, -panLimitOf(state.zoom));
    EXPECT_EQ(state.panY, -panLimitOf(state.zoom));
    move(state, 5000, 300);
    releaseButton(state);

    EXPECT_EQ(wheel(state, false), (ViewEffects{Repaint}));
    EXPECT_NEAR(state.zoom, 1.728f, 1e-5f);
    EXPECT_EQ(state.panX, panLimitOf(state.zoom));
    EXPECT_NEAR(state.panX, 0.364f, 1e-4f);
}

TEST(ViewControllerWheel, StepsInAreSinglePrecisionAndStopAtEight) {
    AppState state;
    float expected = 1.0f;
    for (int step = 1; step <= 11; ++step) {
        EXPECT_EQ(wheel(state, true), (ViewEffects{Repaint}));
        expected = expected * 1.2f;
        EXPECT_EQ(state.zoom, expected) << step;
        if (step == 3) {
            EXPECT_EQ(state.zoom, 1.2f * 1.2f * 1.2f);
        }
    }
    EXPECT_LT(state.zoom, 8.0f);
    wheel(state, true);
    EXPECT_EQ(state.zoom, 8.0f);
    wheel(state, true);
    EXPECT_EQ(state.zoom, 8.0f);
}

TEST(ViewControllerWheel, StepsOutNeverGoBelowOne) {
    AppState state;
    wheel(state, false);
    EXPECT_EQ(state.zoom, 1.0f);
    wheel(state, true);
    wheel(state, false);
    EXPECT_EQ(state.zoom, 1.0f);
    state.zoom = 8.0f;
    for (int step = 0; step < 30; ++step) {
        wheel(state, false);
        EXPECT_GE(state.zoom, 1.0f);
    }
    EXPECT_EQ(state.zoom, 1.0f);
}

TEST(ViewControllerWheel, OutsideTheViewChangesNothing) {
    AppState state;
    EXPECT_TRUE(wheel(state, true, 100, 100).empty());
    EXPECT_TRUE(wheel(state, true, ViewRightPx, ViewMiddleY).empty());
    EXPECT_EQ(state.zoom, 1.0f);
}

TEST(ViewControllerKeys, ArrowsClampAndEscapeHides) {
    AppState state;
    state.dividerPos = 0.01f;
    EXPECT_EQ(pressKey(state, KeyLeft), (ViewEffects{slider(0), Repaint}));
    EXPECT_EQ(state.dividerPos, 0.0f);
    state.dividerPos = 0.99f;
    EXPECT_EQ(pressKey(state, KeyRight), (ViewEffects{slider(1000), Repaint}));
    EXPECT_EQ(state.dividerPos, 1.0f);
    state.dividerPos = 0.5f;
    EXPECT_EQ(pressKey(state, KeyRight), (ViewEffects{slider(520), Repaint}));
    EXPECT_EQ(state.dividerPos, 0.52f);

    EXPECT_EQ(pressKey(state, KeyEscape), (ViewEffects{Hide}));
    EXPECT_TRUE(pressKey(state, 0x26).empty());
    EXPECT_TRUE(pressKey(state, 0x0D).empty());
    EXPECT_EQ(state.dividerPos, 0.52f);
}

TEST(ViewControllerSlider, PositionBecomesDividerWithoutSettingSlider) {
    AppState state;
    EXPECT_EQ(sliderMoved(state, 333), (ViewEffects{Repaint}));
    EXPECT_EQ(state.dividerPos, 0.333f);
    sliderMoved(state, 0);
    EXPECT_EQ(state.dividerPos, 0.0f);
    sliderMoved(state, 1000);
    EXPECT_EQ(state.dividerPos, 1.0f);
    sliderMoved(state, 5000);
    EXPECT_EQ(state.dividerPos, 1.0f);
    sliderMoved(state, -3);
    EXPECT_EQ(state.dividerPos, 0.0f);
}

TEST(ViewControllerSlider, PositionForDividerTruncates) {
    EXPECT_EQ(sliderPositionFor(0.5f), 500);
    EXPECT_EQ(sliderPositionFor(0.7f), 700);
    EXPECT_EQ(sliderPositionFor(0.0019f), 1);
    EXPECT_EQ(sliderPositionFor(0.9999f), 999);
    EXPECT_EQ(sliderPositionFor(1.0f), 1000);
    EXPECT_EQ(sliderPositionFor(NAN), 0);
}

TEST(ViewControllerCommands, SwapExchangesSidesAndMirrorsDivider) {
    AppState state;
    const auto firstOwner = std::make_shared<int>(1);
    const auto secondOwner = std::make_shared<int>(2);
    state.firstImage = markerImage(firstOwner);
    state.secondImage = markerImage(secondOwner);
    state.dividerPos = 0.3f;
    state.zoom = 2.0f;
    state.panX = 0.25f;
    state.panY = -0.125f;
    state.generation = 5;
    state.caption = L"Lake Powell";
    state.isLocalPair = true;
    state.selectedPlace = 2;

    EXPECT_EQ(swapSides(state), (ViewEffects{Sync, slider(700), Repaint}));
    EXPECT_EQ(state.dividerPos, 0.7f);
    EXPECT_EQ(state.generation, 6);
    EXPECT_EQ(state.firstImage, markerImage(secondOwner));
    EXPECT_EQ(state.secondImage, markerImage(firstOwner));
    EXPECT_EQ(state.firstYear, 2018);
    EXPECT_EQ(state.secondYear, 2000);
    EXPECT_EQ(state.firstCatalogIndex, 18);
    EXPECT_EQ(state.secondCatalogIndex, 0);
    EXPECT_EQ(state.zoom, 2.0f);
    EXPECT_EQ(state.panX, 0.25f);
    EXPECT_EQ(state.panY, -0.125f);
    EXPECT_EQ(state.caption, L"Lake Powell");
    EXPECT_TRUE(state.isLocalPair);
    EXPECT_EQ(state.selectedPlace, 2);
}

TEST(ViewControllerCommands, SwapGenerationWrapsInsteadOfOverflowing) {
    AppState state;
    state.generation = INT32_MAX;
    swapSides(state);
    EXPECT_EQ(state.generation, INT32_MIN);
    swapSides(state);
    EXPECT_EQ(state.generation, INT32_MIN + 1);
}

TEST(ViewControllerCommands, FitAndResetRestoreTheView) {
    AppState state;
    state.generation = 3;
    wheel(state, true);
    wheel(state, true);
    press(state, 600, ViewMiddleY, true);
    move(state, 700, 450);
    releaseButton(state);
    pressKey(state, KeyLeft);
    ASSERT_NE(state.panX, 0.0f);

    EXPECT_EQ(fitView(state), (ViewEffects{slider(500), Repaint}));
    EXPECT_EQ(state.dividerPos, 0.5f);
    EXPECT_EQ(state.zoom, 1.0f);
    EXPECT_EQ(state.panX, 0.0f);
    EXPECT_EQ(state.panY, 0.0f);
    EXPECT_EQ(state.generation, 3);

    state.dividerPos = 0.9f;
    state.zoom = 4.0f;
    state.panY = 1.0f;
    EXPECT_EQ(resetView(state), (ViewEffects{slider(500)}));
    EXPECT_EQ(state.dividerPos, 0.5f);
    EXPECT_EQ(state.zoom, 1.0f);
    EXPECT_EQ(state.panY, 0.0f);
    EXPECT_EQ(state.generation, 3);
}

TEST(ViewControllerScale, PixelsAreConvertedToUnits) {
    AppState state;
    state.uiScale = 1.5f;
    constexpr std::int32_t Width = 1800;
    constexpr std::int32_t Height = 1350;
    // 410 px is 273.3 units, left of the view.
    EXPECT_TRUE(pressInView(state, 410, 600, false, Width, Height).empty());
    EXPECT_EQ(pressInView(state, 411, 600, false, Width, Height),
              (ViewEffects{Focus, Capture, slider(0), Repaint}));
    EXPECT_EQ(state.lastMouseX, 411);

    moveMouse(state, 1086, 600, Width, Height);
    EXPECT_EQ(state.dividerPos, (1086.0f / 1.5f - 274.0f) / 898.0f);
    EXPECT_FLOAT_EQ(state.dividerPos, 450.0f / 898.0f);
    releaseButton(state);

    // 1758 px is 1172 units: exactly the right edge, outside.
    EXPECT_TRUE(turnWheel(state, 1758, 600, true, Width, Height).empty());
    state.zoom = 8.0f;
    pressInView(state, 600, 600, true, Width, Height);
    moveMouse(state, 630, 570, Width, Height);
    EXPECT_EQ(state.panX, (30.0f / 1.5f) / 898.0f);
    EXPECT_EQ(state.panY, (-30.0f / 1.5f) / 545.0f);
}

TEST(ViewControllerScale, EmptyClientAreaDuringDragIsIgnored) {
    AppState state;
    state.zoom = 4.0f;
    press(state, 600, ViewMiddleY);
    const float divider = state.dividerPos;
    EXPECT_TRUE(moveMouse(state, 700, 500, 0, 0).empty());
    EXPECT_EQ(state.dividerPos, divider);
    releaseButton(state);
    press(state, 600, ViewMiddleY, true);
    EXPECT_TRUE(moveMouse(state, 700, 500, 0, 0).empty());
    EXPECT_EQ(state.panX, 0.0f);
    EXPECT_EQ(state.panY, 0.0f);
    EXPECT_TRUE(std::isfinite(state.dividerPos));
}

TEST(ViewControllerProperty, RandomInputKeepsInvariants) {
    AppState state;
    std::mt19937 random(20240611u);
    std::uniform_int_distribution<int> operation(0, 9);
    std::uniform_int_distribution<std::int32_t> coordinate(-2000, 3000);
    std::uniform_int_distribution<std::int32_t> size(0, 2600);
    std::uniform_int_distribution<std::int32_t> position(0, 1000);
    std::uniform_int_distribution<std::int32_t> key(0x1A, 0x28);
    std::bernoulli_distribution coin;
    bool captured = false;
    std::int32_t swaps = 0;

    for (int step = 0; step < 20000; ++step) {
        // Mostly a real window size; now and then an empty or tiny one.
        const std::int32_t width = step % 97 == 0 ? size(random) / 10 : 1100 + size(random);
        const std::int32_t height = step % 89 == 0 ? size(random) / 10 : 800 + size(random);
        if (step % 500 == 0) {
            state.uiScale = coin(random) ? 1.0f : 1.75f;
        }
        ViewEffects effects;
        switch (operation(random)) {
        case 0:
        case 1:
            effects = pressInView(state, coordinate(random), coordinate(random), coin(random),
                                  width, height);
            break;
        case 2:
        case 3:
        case 4:
            effects = moveMouse(state, coordinate(random), coordinate(random), width, height);
            break;
        case 5:
            effects = coin(random) ? releaseButton(state) : captureLost(state);
            if (effects.empty()) {
                captured = false;
            }
            break;
        case 6:
            effects = turnWheel(state, coordinate(random), coordinate(random), coin(random), width,
                                height);
            break;
        case 7:
            effects = pressKey(state, key(random));
            break;
        case 8:
            effects = sliderMoved(state, position(random));
            break;
        default:
            if (coin(random)) {
                effects = swapSides(state);
                ++swaps;
            } else {
                effects = fitView(state);
            }
            break;
        }

        ASSERT_GE(state.dividerPos, 0.0f) << step;
        ASSERT_LE(state.dividerPos, 1.0f) << step;
        ASSERT_GE(state.zoom, 1.0f) << step;
        ASSERT_LE(state.zoom, 8.0f) << step;
        const float limit = panLimitOf(state.zoom);
        ASSERT_LE(std::fabs(state.panX), limit) << step;
        ASSERT_LE(std::fabs(state.panY), limit) << step;
        ASSERT_EQ(state.generation, swaps) << step;
        for (const ViewEffect& effect : effects) {
            if (effect.kind == ViewEffectKind::SetSlider) {
                ASSERT_EQ(effect.sliderPosition, sliderPositionFor(state.dividerPos)) << step;
            }
            if (effect.kind == ViewEffectKind::CaptureMouse) {
                captured = true;
            }
            if (effect.kind == ViewEffectKind::ReleaseMouse) {
                ASSERT_TRUE(captured) << step;
                captured = false;
            }
        }
        ASSERT_EQ(state.dragging, captured) << step;
    }
}
