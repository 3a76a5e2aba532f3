// Tests of the comparison view's input handling: divider, wheel zoom, panning, keys,
// slider, Swap and Fit, with the exact effects each input asks of the window layer.
#include "core/view_controller.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <memory>
#include <random>
#include <utility>

namespace {

// At scale 1 this client area gives the view left 274, top 192, width 1000, height 500.
constexpr std::int32_t Width = 1302;
constexpr std::int32_t Height = 855;
constexpr std::int32_t LeftPx = 274;
constexpr std::int32_t RightPx = 1274;
constexpr std::int32_t MiddleY = 400;

const ViewEffect Focus{ViewEffectKind::FocusMainWindow};
const ViewEffect Capture{ViewEffectKind::CaptureMouse};
const ViewEffect Repaint{ViewEffectKind::RepaintWindow};
ViewEffect slider(std::int32_t position) {
    return {ViewEffectKind::SetSlider, position};
}

ViewEffects press(AppState& state, std::int32_t x, std::int32_t y, bool shift = false) {
    return pressInView(state, x, y, shift, Width, Height);
}
ViewEffects move(AppState& state, std::int32_t x, std::int32_t y) {
    return moveMouse(state, x, y, Width, Height);
}
ViewEffects wheel(AppState& state, bool in, std::int32_t x = 700) {
    return turnWheel(state, x, MiddleY, in, Width, Height);
}

float panLimitOf(float zoom) {
    return (zoom - 1.0f) * 0.5f;
}

} // namespace

TEST(ViewController, RectAndPixelsAtEachScale) {
    AppState state;
    const ViewRect atOne = viewRect(state, Width, Height);
    EXPECT_EQ((std::array{atOne.left, atOne.top, atOne.width, atOne.height}),
              (std::array{274.0f, 192.0f, 1000.0f, 500.0f}));
    state.uiScale = 1.5f;
    const ViewRect scaled = viewRect(state, 1800, 1350);
    EXPECT_EQ((std::array{scaled.left, scaled.top, scaled.width, scaled.height}),
              (std::array{274.0f, 192.0f, 898.0f, 545.0f}));
    // 410 px is 273.3 units, left of the view; 1758 px is 1172 units, its right edge.
    EXPECT_TRUE(pressInView(state, 410, 600, false, 1800, 1350).empty());
    EXPECT_TRUE(turnWheel(state, 1758, 600, true, 1800, 1350).empty());
    EXPECT_EQ(pressInView(state, 411, 600, false, 1800, 1350),
              (ViewEffects{Focus, Capture, slider(0), Repaint}));
    moveMouse(state, 1086, 600, 1800, 1350);
    EXPECT_EQ(state.dividerPos, (1086.0f / 1.5f - 274.0f) / 898.0f);
    releaseButton(state);
    state.zoom = 8.0f;
    pressInView(state, 600, 600, true, 1800, 1350);
    moveMouse(state, 630, 570, 1800, 1350);
    EXPECT_EQ(state.panX, (30.0f / 1.5f) / 898.0f);
    EXPECT_EQ(state.panY, (-30.0f / 1.5f) / 545.0f);
}

TEST(ViewController, PressAtTheEdgesOfTheHalfOpenView) {
    struct Case {
        std::int32_t x, y;
        bool shift;
        ViewEffects effects;
        float divider; // starts at 0.5
    };
    const Case cases[] = {
        {LeftPx, 192, false, {Focus, Capture, slider(0), Repaint}, 0.0f},
        {RightPx - 1, 691, false, {Focus, Capture, slider(999), Repaint}, 0.999f},
        {900, 450, true, {Focus, Capture}, 0.5f},
        {RightPx, 300, false, {}, 0.5f},
        {LeftPx - 1, 300, false, {}, 0.5f},
        {600, 191, false, {}, 0.5f},
        {600, 692, false, {}, 0.5f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        AppState state;
        EXPECT_EQ(press(state, c.x, c.y, c.shift), c.effects);
        EXPECT_EQ(state.dividerPos, c.divider);
        EXPECT_EQ(state.dragging, !c.effects.empty());
        EXPECT_EQ(state.dragIsPan, c.shift);
        EXPECT_EQ(state.lastMouseX, c.effects.empty() ? 0 : c.x);
        EXPECT_EQ(state.lastMouseY, c.effects.empty() ? 0 : c.y);
    }
}

TEST(ViewController, DragModeIsFixedAtThePressAndEndsOnce) {
    AppState state;
    state.zoom = 3.0f;
    press(state, 500, MiddleY);
    EXPECT_EQ(move(state, -32768, -200), (ViewEffects{slider(0), Repaint}));
    EXPECT_EQ(move(state, 32767, 2000), (ViewEffects{slider(1000), Repaint}));
    move(state, 800, 600);
    EXPECT_FALSE(state.dragIsPan);
    EXPECT_EQ(state.panX, 0.0f);
    EXPECT_EQ(state.panY, 0.0f);
    EXPECT_FLOAT_EQ(state.dividerPos, 0.526f);
    EXPECT_TRUE(moveMouse(state, 700, 500, 0, 0).empty()) << "empty client area";
    EXPECT_FLOAT_EQ(state.dividerPos, 0.526f);
    EXPECT_EQ(releaseButton(state), (ViewEffects{{ViewEffectKind::ReleaseMouse}}));
    EXPECT_TRUE(releaseButton(state).empty());

    press(state, 500, MiddleY, true);
    move(state, 800, 600);
    EXPECT_FLOAT_EQ(state.dividerPos, 0.526f);
    EXPECT_FLOAT_EQ(state.panX, 0.3f);
    EXPECT_FLOAT_EQ(state.panY, 0.4f);
    EXPECT_TRUE(moveMouse(state, 700, 500, 0, 0).empty());
    EXPECT_FLOAT_EQ(state.panX, 0.3f);
    EXPECT_TRUE(captureLost(state).empty());
    EXPECT_FALSE(state.dragging);
    EXPECT_TRUE(move(state, 300, 300).empty());
    EXPECT_TRUE(releaseButton(state).empty());
    EXPECT_EQ(state.lastMouseX, 800);
}

TEST(ViewController, WheelStepsInSinglePrecisionBetweenOneAndEight) {
    AppState state;
    EXPECT_TRUE(wheel(state, true, 100).empty());
    EXPECT_TRUE(wheel(state, true, RightPx).empty());
    EXPECT_EQ(wheel(state, false), (ViewEffects{Repaint}));
    EXPECT_EQ(state.zoom, 1.0f);
    float expected = 1.0f; // the twelfth step, 1.2^12 = 8.9, stops at 8
    for (int step = 1; step <= 13; ++step) {
        EXPECT_EQ(wheel(state, true), (ViewEffects{Repaint}));
        expected = std::min(expected * 1.2f, 8.0f);
        ASSERT_EQ(state.zoom, expected) << step;
        if (step == 3) {
            EXPECT_NEAR(state.zoom, 1.728f, 1e-6f);
        }
    }
    for (int step = 0; step < 30; ++step) {
        wheel(state, false);
    }
    EXPECT_EQ(state.zoom, 1.0f);
}

TEST(ViewController, PanFollowsThePointerWithinTheZoomLimit) {
    AppState state;
    press(state, 600, MiddleY, true);
    EXPECT_EQ(move(state, 700, 450), (ViewEffects{Repaint}));
    EXPECT_EQ(state.panX, 0.0f) << "no room to pan at zoom 1";
    for (int step = 0; step < 4; ++step) {
        wheel(state, true);
    }
    move(state, 800, 500); // 100 and 50 units: one to one
    EXPECT_FLOAT_EQ(state.panX, 0.1f);
    EXPECT_FLOAT_EQ(state.panY, 0.1f);
    move(state, 5000, 500);
    EXPECT_EQ(state.panX, panLimitOf(state.zoom));
    EXPECT_NEAR(state.panX, 0.5368f, 1e-4f);
    move(state, -5000, -5000);
    EXPECT_EQ(state.panY, -panLimitOf(state.zoom));
    move(state, 5000, 300);
    releaseButton(state);
    wheel(state, false);
    EXPECT_NEAR(state.zoom, 1.728f, 1e-5f);
    EXPECT_EQ(state.panX, panLimitOf(state.zoom));
    EXPECT_NEAR(state.panX, 0.364f, 1e-4f);
}

TEST(ViewController, KeysAndSlider) {
    struct Case {
        float before;
        std::int32_t key;
        bool shift;
        ViewEffects effects;
        float after;
    };
    const Case cases[] = {
        {0.01f, KeyLeft, false, {slider(0), Repaint}, 0.0f},
        {0.99f, KeyRight, false, {slider(1000), Repaint}, 1.0f},
        {0.5f, KeyRight, false, {slider(520), Repaint}, 0.52f},
        {0.5f, KeyEscape, false, {{ViewEffectKind::HideToTray}}, 0.5f},
        {0.5f, KeyEscape, true, {{ViewEffectKind::HideToTray}}, 0.5f},
        {0.5f, KeyUp, false, {}, 0.5f},
        {0.5f, 0x0D, false, {}, 0.5f},
        {0.5f, KeyLeft, true, {Repaint}, 0.5f}, // Shift pans instead
        {0.5f, 'A', true, {}, 0.5f},
    };
    for (const Case& c : cases) {
        AppState state;
        state.dividerPos = c.before;
        EXPECT_EQ(pressKey(state, c.key, c.shift), c.effects) << c.before << " key " << c.key;
        EXPECT_EQ(state.dividerPos, c.after) << c.before << " key " << c.key;
    }

    // The zoom keys take the wheel's steps and limits; Shift + arrow moves the view over the
    // photos by a tenth of it, as a scroll bar would, within the pan limit.
    struct ViewCase {
        std::int32_t key;
        bool shift;
        std::array<float, 3> before, after; // zoom, panX, panY
    };
    const float zoomed = 1.2f * 1.2f * 1.2f * 1.2f;
    const ViewCase viewCases[] = {
        {KeyPlus, false, {1.0f, 0.0f, 0.0f}, {1.2f, 0.0f, 0.0f}},
        {KeyPlus, true, {1.0f, 0.0f, 0.0f}, {1.2f, 0.0f, 0.0f}},
        {KeyPadPlus, false, {7.0f, 0.0f, 0.0f}, {8.0f, 0.0f, 0.0f}},
        {KeyMinus, false, {1.44f, 0.0f, 0.0f}, {1.44f * 0.8333333f, 0.0f, 0.0f}},
        {KeyPadMinus, false, {1.0f, 0.0f, 0.0f}, {1.0f, 0.0f, 0.0f}},
        {KeyMinus, false, {zoomed, 0.5368f, -0.5f}, {zoomed * 0.8333333f, 0.364f, -0.364f}},
        {KeyRight, true, {3.0f, 0.0f, 0.0f}, {3.0f, -0.1f, 0.0f}},
        {KeyLeft, true, {3.0f, 0.95f, 0.0f}, {3.0f, 1.0f, 0.0f}},
        {KeyDown, true, {2.0f, 0.0f, -0.45f}, {2.0f, 0.0f, -0.5f}},
        {KeyUp, true, {2.0f, 0.0f, 0.2f}, {2.0f, 0.0f, 0.3f}},
        {KeyDown, true, {1.0f, 0.0f, 0.0f}, {1.0f, 0.0f, 0.0f}}, // no room at zoom 1
    };
    for (const ViewCase& c : viewCases) {
        SCOPED_TRACE(testing::Message() << "key " << c.key << (c.shift ? " with Shift" : ""));
        AppState state;
        state.zoom = c.before[0];
        state.panX = c.before[1];
        state.panY = c.before[2];
        EXPECT_EQ(pressKey(state, c.key, c.shift), ViewEffects{Repaint});
        EXPECT_FLOAT_EQ(state.zoom, c.after[0]);
        EXPECT_NEAR(state.panX, c.after[1], 1e-4f);
        EXPECT_NEAR(state.panY, c.after[2], 1e-4f);
        EXPECT_EQ(state.dividerPos, 0.5f);
    }
    AppState state;
    for (auto [position, divider] : {std::pair{333, 0.333f}, {0, 0.0f}, {5000, 1.0f}, {-3, 0.0f}}) {
        EXPECT_EQ(sliderMoved(state, position), (ViewEffects{Repaint}));
        EXPECT_EQ(state.dividerPos, divider) << position;
    }
    for (auto [divider, position] :
         {std::pair{0.7f, 700}, {0.0019f, 1}, {0.9999f, 999}, {1.0f, 1000}, {NAN, 0}}) {
        EXPECT_EQ(sliderPositionFor(divider), position) << divider;
    }
}

TEST(ViewController, SwapMirrorsTheDividerAndFitRestoresTheView) {
    AppState state;
    const auto owners = std::make_shared<int[]>(2);
    const std::shared_ptr<ImageData> first(owners, reinterpret_cast<ImageData*>(&owners[0]));
    const std::shared_ptr<ImageData> second(owners, reinterpret_cast<ImageData*>(&owners[1]));
    state.firstImage = first;
    state.secondImage = second;
    state.dividerPos = 0.3f;
    state.zoom = 2.0f;
    state.panX = 0.25f;
    state.generation = 5;

    EXPECT_EQ(swapSides(state),
              (ViewEffects{{ViewEffectKind::SyncYearControls}, slider(700), Repaint}));
    EXPECT_EQ(state.dividerPos, 0.7f);
    EXPECT_EQ(state.generation, 6);
    EXPECT_EQ(state.firstImage, second);
    EXPECT_EQ(state.secondImage, first);
    EXPECT_EQ((std::array{state.firstYear, state.secondYear}), (std::array{2018, 2000}));
    EXPECT_EQ((std::array{state.firstCatalogIndex, state.secondCatalogIndex}), (std::array{18, 0}));
    EXPECT_EQ((std::array{state.zoom, state.panX}), (std::array{2.0f, 0.25f}));

    EXPECT_EQ(fitView(state), (ViewEffects{slider(500), Repaint}));
    EXPECT_EQ((std::array{state.dividerPos, state.zoom, state.panX, state.panY}),
              (std::array{0.5f, 1.0f, 0.0f, 0.0f}));
    state.dividerPos = 0.9f;
    state.zoom = 4.0f;
    state.panY = 1.0f;
    EXPECT_EQ(resetView(state), (ViewEffects{slider(500)}));
    EXPECT_EQ((std::array{state.dividerPos, state.zoom, state.panX, state.panY}),
              (std::array{0.5f, 1.0f, 0.0f, 0.0f}));
    EXPECT_EQ(state.generation, 6);

    state.generation = INT32_MAX;
    swapSides(state);
    EXPECT_EQ(state.generation, INT32_MIN);
}

TEST(ViewController, RandomInputKeepsInvariants) {
    AppState state;
    std::mt19937 random(20240611u);
    std::uniform_int_distribution<int> operation(0, 9);
    std::uniform_int_distribution<std::int32_t> coordinate(-2000, 3000);
    std::uniform_int_distribution<std::int32_t> size(0, 2600);
    // Escape and the arrows among their neighbours, and the zoom keys.
    const std::array<std::int32_t, 19> keys = {0x1A, 0x1B, 0x1C, 0x20, 0x24, 0x25, 0x26,
                                               0x27, 0x28, 0x29, 0x6A, 0x6B, 0x6C, 0x6D,
                                               0xBA, 0xBB, 0xBC, 0xBD, 0xBE};
    std::uniform_int_distribution<std::size_t> key(0, keys.size() - 1);
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
        const std::int32_t x = coordinate(random);
        const std::int32_t y = coordinate(random);
        ViewEffects effects;
        const int choice = operation(random);
        if (choice < 2) {
            effects = pressInView(state, x, y, coin(random), width, height);
        } else if (choice < 5) {
            effects = moveMouse(state, x, y, width, height);
        } else if (choice == 5) {
            effects = coin(random) ? releaseButton(state) : captureLost(state);
            captured = captured && !effects.empty();
        } else if (choice == 6) {
            effects = turnWheel(state, x, y, coin(random), width, height);
        } else if (choice == 7) {
            effects = pressKey(state, keys[key(random)], coin(random));
        } else if (choice == 8) {
            effects = sliderMoved(state, x / 3);
        } else if (coin(random)) {
            effects = swapSides(state);
            ++swaps;
        } else {
            effects = fitView(state);
        }
        SCOPED_TRACE(step);
        ASSERT_GE(state.dividerPos, 0.0f);
        ASSERT_LE(state.dividerPos, 1.0f);
        ASSERT_GE(state.zoom, 1.0f);
        ASSERT_LE(state.zoom, 8.0f);
        ASSERT_LE(std::fabs(state.panX), panLimitOf(state.zoom));
        ASSERT_LE(std::fabs(state.panY), panLimitOf(state.zoom));
        ASSERT_EQ(state.generation, swaps);
        for (const ViewEffect& effect : effects) {
            if (effect.kind == ViewEffectKind::SetSlider) {
                ASSERT_EQ(effect.sliderPosition, sliderPositionFor(state.dividerPos));
            }
            if (effect.kind == ViewEffectKind::CaptureMouse) {
                captured = true;
            }
            if (effect.kind == ViewEffectKind::ReleaseMouse) {
                ASSERT_TRUE(captured);
                captured = false;
            }
        }
        ASSERT_EQ(state.dragging, captured);
    }
}
